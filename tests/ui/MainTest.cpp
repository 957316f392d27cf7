// The main window driven with real events under the offscreen platform: what each action renders,
// which files it writes and what the top-level handler shows.
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <optional>
#include <sstream>

#include "parameters/Preset.h"
#include "parameters/RenderRequest.h"
#include "synthesis/base/Random.h"
#include "synthesis/raster/Bmp.h"
#include "tests/FailingDisk.h"
#include "tests/ui/WidgetInput.h"
#include "ui/AdjustControl.h"
#include "ui/Application.h"
#include "ui/ColorSwatch.h"
#include "ui/Main.h"
#include "ui/MapView.h"

namespace hillograph {
namespace {

// Answers the dialogs from queues; an empty queue, or an empty name, answers Cancel.
class TFakeDialogs : public TDialogs {
 public:
  QStringList Files;
  std::deque<std::optional<TColor>> Colors;
  int Shown = 0;

  std::optional<QString> SavePicture() override { return NextFile(); }
  std::optional<QString> OpenPreset() override { return NextFile(); }
  std::optional<QString> SavePreset() override { return NextFile(); }
  std::optional<QString> OpenTownDB() override { return NextFile(); }
  std::optional<TColor> ChooseColor(TColor) override {
    ++Shown;
    if (Colors.empty()) return std::nullopt;
    const auto answer = Colors.front();
    Colors.pop_front();
    return answer;
  }

 private:
  std::optional<QString> NextFile() {
    ++Shown;
    const QString answer = Files.isEmpty() ? QString() : Files.takeFirst();
    return answer.isEmpty() ? std::nullopt : std::optional(answer);
  }
};

std::string FileBytes(const QString& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path.toStdString(), std::ios::binary).rdbuf();
  return bytes.str();
}

std::string ExpectedBytes(const TMapParameters& params) {
  TPicture picture;
  RenderMapParameters(picture, params);
  return EncodeBmp(picture);
}

}  // namespace

class MainTest : public QObject {
  Q_OBJECT

 private:
  TfrmMain* window_ = nullptr;
  TFakeDialogs* dialogs_ = nullptr;
  QSignalSpy* renders_ = nullptr;
  QStringList errors_;
  QTemporaryDir dir_;

  QString Path(const QString& name) const { return dir_.filePath(name); }
  bool Shows(const TMapParameters& params) const {
    return EncodeBmp(window_->iMap->Picture()) == ExpectedBytes(params);
  }

 private slots:
  void init() {
    errors_.clear();
    static_cast<TApplication*>(QApplication::instance())->ShowError =
        [this](const QString& message) { errors_ << message; };
    auto dialogs = std::make_unique<TFakeDialogs>();
    dialogs_ = dialogs.get();
    window_ = new TfrmMain(std::move(dialogs));
    renders_ = new QSignalSpy(window_, &TfrmMain::Rendered);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
  }

  void cleanup() {
    delete renders_;
    delete window_;
  }

  void startupRendersTheDefaultMapOnceItIsShown() {
    TfrmMain hidden(std::make_unique<TFakeDialogs>());
    QCOMPARE(hidden.iMap->size(), QSize(105, 81));  // nothing rendered yet
    QCOMPARE(renders_->count(), 1);
    QVERIFY(Shows(TMapParameters{}));
    QCOMPARE(window_->iMap->size(), QSize(640, 480));
    QCOMPARE(window_->windowTitle(), QStringLiteral("Brackmoor Hillograph"));
    const QPoint offCentre =
        window_->geometry().center() - window_->screen()->availableGeometry().center();
    QVERIFY(std::abs(offCentre.x()) <= 2 && std::abs(offCentre.y()) <= 2);
    QCOMPARE(window_->pStatus->text(), QString());
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }

  void editsRenderWhileAutoRefreshIsTicked() {
    window_->neWidth->setFocus();
    window_->neWidth->selectAll();
    QTest::keyClicks(window_->neWidth, QStringLiteral("640"));
    QCOMPARE(renders_->count(), 1 + 3);  // one for each change of the text
    window_->neShadows->setFocus();
    window_->neShadows->selectAll();
    QTest::keyClicks(window_->neShadows, QStringLiteral("+5"));
    window_->neWidth->setFocus();  // leaving puts the text in normal form: one more
    QCOMPARE(window_->neShadows->text(), QStringLiteral("5"));
    QCOMPARE(renders_->count(), 1 + 3 + 2 + 1);
    TPointer pointer;  // the water label drags the field by the pointer's travel
    pointer.Press(window_->AdjustLabel2, {10, 5});
    pointer.Move(window_->AdjustLabel2, {13, 5});
    pointer.Move(window_->AdjustLabel2, {15, 9});
    pointer.Release(window_->AdjustLabel2, {15, 9});
    QCOMPARE(window_->neWaterAmount->Value(), 155.0);
    QCOMPARE(renders_->count(), 7 + 2);
    window_->cbAutoRefresh->click();  // unticking renders nothing, nor do edits after it
    window_->neWaterAmount->SetValue(99);
    QCOMPARE(renders_->count(), 9);
    window_->neDiversity->setFocus();
    QTest::keyClick(window_->neDiversity, Qt::Key_Return);  // Enter presses Refresh!
    QCOMPARE(renders_->count(), 10);
    window_->cbAutoRefresh->click();
    QCOMPARE(renders_->count(), 11);
    QVERIFY(Shows(window_->Parameters()));
  }

  void newSeedsDoNotDependOnRendersInBetween() {
    RandSeed = 2024;
    QTest::mouseClick(window_->btnNewRandSeed, Qt::LeftButton);
    const double first = window_->neRandSeed->Value();
    QTest::mouseClick(window_->btnNewRandSeed, Qt::LeftButton);
    const double second = window_->neRandSeed->Value();
    QCOMPARE(renders_->count(), 3);
    RandSeed = 2024;
    window_->cbAutoRefresh->setChecked(false);
    QTest::mouseClick(window_->btnNewRandSeed, Qt::LeftButton);
    QCOMPARE(window_->neRandSeed->Value(), first);
    QTest::mouseClick(window_->Button1, Qt::LeftButton);
    QTest::mouseClick(window_->btnNewRandSeed, Qt::LeftButton);
    QCOMPARE(window_->neRandSeed->Value(), second);
    QCOMPARE(renders_->count(), 4);
  }

  void swatchPressesWithAnyButtonOpenTheColourDialog() {
    dialogs_->Colors = {window_->sMapFrame->BrushColor(), RGB(1, 2, 3), std::nullopt};
    QTest::mouseClick(window_->sMapFrame, Qt::RightButton);  // the same colour still renders
    QTest::mouseClick(window_->sGrid, Qt::LeftButton);
    QTest::mouseClick(window_->sGrid, Qt::MiddleButton);  // cancelled: nothing
    QCOMPARE(window_->sGrid->BrushColor(), RGB(1, 2, 3));
    const QImage swatch = window_->sGrid->grab().toImage();  // the colour in a black outline
    QCOMPARE(swatch.pixelColor(0, 0), QColor(Qt::black));
    QCOMPARE(swatch.pixelColor(swatch.rect().center()), QColor(1, 2, 3));
    QCOMPARE(renders_->count(), 3);
    QCOMPARE(dialogs_->Shown, 3);
  }

  void presetsLoadRenderingOnceAndSaveWithTheExtension() {
    TMapParameters saved;
    saved.Width = 120;
    saved.Height = 90;
    saved.Grid = RGB(9, 8, 7);
    WritePreset(Path("a.hpf").toStdString(), saved);
    saved.AutoRefresh = false;
    saved.Width = 50;
    WritePreset(Path("off.hpf").toStdString(), saved);
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("folder.hpf")));
    dialogs_->Files = {Path("a.hpf"), Path("off.hpf"), Path("mine"), Path("folder")};
    QTest::mouseClick(window_->Button6, Qt::LeftButton);
    QCOMPARE(renders_->count(), 2);
    QCOMPARE(window_->iMap->size(), QSize(120, 90));
    QTest::mouseClick(window_->Button6, Qt::LeftButton);
    QCOMPARE(renders_->count(), 2);
    QCOMPARE(window_->neWidth->Value(), 50.0);
    QVERIFY(!window_->cbAutoRefresh->isChecked());
    QCOMPARE(window_->iMap->size(), QSize(120, 90));  // the previous map stays
    window_->neTownAmount->SetValue(30.5);
    QTest::mouseClick(window_->Button5, Qt::LeftButton);
    saved.TownAmount = 30;
    QCOMPARE(ReadPreset(Path("mine.hpf").toStdString()), saved);
    QTest::mouseClick(window_->Button5, Qt::LeftButton);
    QCOMPARE(errors_, QStringList{"Unable to write to " + Path("folder.hpf")});
  }

  void savingTheMapRendersAndWritesTheFile() {
    window_->neWidth->SetValue(60);
    window_->neHeight->SetValue(40);
    { std::ofstream(Path("old.bmp").toStdString()) << "old"; }
    dialogs_->Files = {Path("plain"), Path("old.bmp"), Path("other.txt"), QString()};
    for (const char* name : {"plain.bmp", "old.bmp", "other.txt", "cancelled"}) {
      const int before = renders_->count();
      QTest::mouseClick(window_->Button3, Qt::LeftButton);
      QCOMPARE(renders_->count(), before + (name[0] == 'c' ? 0 : 1));
      QVERIFY2(name[0] == 'c' || FileBytes(Path(name)) == ExpectedBytes(window_->Parameters()),
               name);
    }
    QVERIFY(errors_.isEmpty());
    dialogs_->Files = {Path("old.bmp")};
    {
      const testing::TFailingDiskScope disk(2000, ENOSPC);
      QTest::mouseClick(window_->Button3, Qt::LeftButton);
    }
    QCOMPARE(errors_, QStringList{"Cannot create file \"" + Path("old.bmp") +
                                  "\". No space left on device"});
    QVERIFY(FileBytes(Path("old.bmp")) == ExpectedBytes(window_->Parameters()));
    QVERIFY(Shows(window_->Parameters()));  // the render stays on screen
  }

  void anUnreadableTownDatabaseShowsItsMessageAndKeepsTheMap() {
    window_->cbAutoRefresh->setChecked(false);
    window_->neWidth->SetValue(300);
    RandSeed = 31337;
    window_->eTownDB->setText(QStringLiteral("/proc/self/mem"));  // fails to read, also for root
    QTest::mouseClick(window_->Button1, Qt::LeftButton);
    QCOMPARE(errors_, QStringList{"Cannot read town database \"/proc/self/mem\": I/O error 5"});
    QVERIFY(Shows(TMapParameters{}));
    QCOMPARE(RandSeed, 31337u);
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }

  void onlyThePagesFollowTheWindowsWidth() {
    const QRect button = window_->Button2->geometry();
    window_->resize(800, 600);
    QCOMPARE(window_->PageControl1->width(), 800 - 15);
    QCOMPARE(window_->Button2->geometry(), button);
    QCOMPARE(window_->ScrollBox1->height(), 600 - 177 - 26);
  }
};

}  // namespace hillograph

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  hillograph::TApplication app(argc, argv);
  hillograph::MainTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "MainTest.moc"
