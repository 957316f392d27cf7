// The main window driven with real events under the offscreen platform: what each action renders,
// which files it writes and what the top-level handler shows.
#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <fstream>
#include <iterator>

#include "parameters/Preset.h"
#include "parameters/RenderRequest.h"
#include "synthesis/Bmp.h"
#include "synthesis/Random.h"
#include "ui/AdjustControl.h"
#include "ui/Application.h"
#include "ui/ColorSwatch.h"
#include "ui/Main.h"
#include "ui/MapView.h"
#include "ui/NumberEdit.h"

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
    auto answer = Colors.front();
    Colors.pop_front();
    return answer;
  }

 private:
  std::optional<QString> NextFile() {
    ++Shown;
    const QString answer = Files.isEmpty() ? QString() : Files.takeFirst();
    if (answer.isEmpty()) return std::nullopt;
    return answer;
  }
};

std::string FileBytes(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string PictureBytes(const TPicture& picture) {
  return EncodeBmp(picture);
}

std::string ExpectedBytes(const TMapParameters& params) {
  TPicture picture;
  RenderMapParameters(picture, params);
  return EncodeBmp(picture);
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons held) {
  QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, held,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
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

  void startupShowsTheDefaultMapAsTheCommandLineWritesIt() {
    QCOMPARE(renders_->count(), 1);
    QProcess render;
    render.start(QStringLiteral(HILLOGRAPH_RENDER_PROGRAM), {"-o", Path("cli.bmp")});
    QVERIFY(render.waitForFinished());
    QCOMPARE(render.exitCode(), 0);
    QVERIFY(PictureBytes(window_->iMap->Picture()) == FileBytes(Path("cli.bmp")));
    QCOMPARE(window_->iMap->size(), QSize(640, 480));
    QCOMPARE(window_->pStatus->text(), QString());
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }

  void buildingTheWindowRendersNothingBeforeItIsShown() {
    TfrmMain hidden(std::make_unique<TFakeDialogs>());
    QSignalSpy spy(&hidden, &TfrmMain::Rendered);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(hidden.iMap->size(), QSize(105, 81));
  }

  void typingRendersForEveryChangeAndLeavingRendersOnceForANormalForm() {
    window_->neWidth->setFocus();
    window_->neWidth->selectAll();
    QTest::keyClicks(window_->neWidth, QStringLiteral("640"));
    QCOMPARE(renders_->count(), 1 + 3);
    window_->neShadows->setFocus();
    window_->neShadows->selectAll();
    QTest::keyClicks(window_->neShadows, QStringLiteral("+5"));
    const int beforeLeaving = renders_->count();
    window_->neWidth->setFocus();
    QCOMPARE(window_->neShadows->text(), QStringLiteral("5"));
    QCOMPARE(renders_->count(), beforeLeaving + 1);
  }

  void tickingRendersOnceAndUntickingNever() {
    window_->cbAutoRefresh->click();
    QCOMPARE(renders_->count(), 1);
    window_->neWaterAmount->SetValue(99);
    QCOMPARE(renders_->count(), 1);
    window_->cbAutoRefresh->click();
    QCOMPARE(renders_->count(), 2);
    QVERIFY(PictureBytes(window_->iMap->Picture()) == ExpectedBytes(window_->Parameters()));
  }

  void newSeedsDoNotDependOnRendersInBetween() {
    RandSeed = 2024;
    QTest::mouseClick(window_->btnNewRandSeed, Qt::LeftButton);
    const double first = window_->neRandSeed->Value();
    QTest::mouseClick(window_->btnNewRandSeed, Qt::LeftButton);
    const double second = window_->neRandSeed->Value();
    QCOMPARE(renders_->count(), 3);  // autorefresh renders each new seed
    RandSeed = 2024;
    window_->cbAutoRefresh->setChecked(false);
    QTest::mouseClick(window_->btnNewRandSeed, Qt::LeftButton);
    QCOMPARE(window_->neRandSeed->Value(), first);
    QCOMPARE(renders_->count(), 3);
    QTest::mouseClick(window_->Button1, Qt::LeftButton);
    QCOMPARE(renders_->count(), 4);
    QTest::mouseClick(window_->btnNewRandSeed, Qt::LeftButton);
    QCOMPARE(window_->neRandSeed->Value(), second);
  }

  void swatchPressesWithAnyButtonOpenTheColourDialog() {
    const TColor frame = window_->sMapFrame->BrushColor();
    dialogs_->Colors = {frame, RGB(1, 2, 3), std::nullopt};
    QTest::mouseClick(window_->sMapFrame, Qt::RightButton);  // the same colour still renders
    QCOMPARE(renders_->count(), 2);
    QTest::mouseClick(window_->sGrid, Qt::LeftButton);
    QCOMPARE(window_->sGrid->BrushColor(), RGB(1, 2, 3));
    QCOMPARE(renders_->count(), 3);
    QTest::mouseClick(window_->sGrid, Qt::MiddleButton);  // cancelled: nothing
    QCOMPARE(window_->sGrid->BrushColor(), RGB(1, 2, 3));
    QCOMPARE(renders_->count(), 3);
    QCOMPARE(dialogs_->Shown, 3);
  }

  void loadingAPresetRendersOnceAtTheEnd() {
    TMapParameters saved;
    saved.Width = 120;
    saved.Height = 90;
    saved.WaterAmount = 99;
    saved.Grid = RGB(9, 8, 7);
    WritePreset(Path("a.hpf").toStdString(), saved);
    saved.AutoRefresh = false;
    saved.Width = 50;
    WritePreset(Path("off.hpf").toStdString(), saved);
    dialogs_->Files = {Path("a.hpf"), Path("off.hpf")};
    QTest::mouseClick(window_->Button6, Qt::LeftButton);
    QCOMPARE(renders_->count(), 2);
    QCOMPARE(window_->neWidth->Value(), 120.0);
    QCOMPARE(window_->iMap->size(), QSize(120, 90));
    QTest::mouseClick(window_->Button6, Qt::LeftButton);
    QCOMPARE(renders_->count(), 2);
    QCOMPARE(window_->neWidth->Value(), 50.0);
    QVERIFY(!window_->cbAutoRefresh->isChecked());
    QCOMPARE(window_->iMap->size(), QSize(120, 90));  // the previous map stays
  }

  void savingAPresetAddsTheExtensionAndWritesTheControls() {
    dialogs_->Files = {Path("mine")};
    window_->neTownAmount->SetValue(30.5);
    QTest::mouseClick(window_->Button5, Qt::LeftButton);
    const TMapParameters read = ReadPreset(Path("mine.hpf").toStdString());
    QCOMPARE(read.TownAmount, 30.0);
    QCOMPARE(read.Width, 640.0);
  }

  void savingTheMapRendersAndWritesABmp() {
    { std::ofstream(Path("old.bmp").toStdString()) << "old"; }
    dialogs_->Files = {Path("plain"), Path("old.bmp"), Path("other.png"), QString()};
    for (const char* name : {"plain.bmp", "old.bmp", "other.png"}) {
      const int before = renders_->count();
      QTest::mouseClick(window_->Button3, Qt::LeftButton);
      QCOMPARE(renders_->count(), before + 1);
      QVERIFY2(FileBytes(Path(name)) == ExpectedBytes(window_->Parameters()), name);
    }
    const int before = renders_->count();
    QTest::mouseClick(window_->Button3, Qt::LeftButton);  // cancelled
    QCOMPARE(renders_->count(), before);
    QVERIFY(errors_.isEmpty());
  }

  void anUnwritablePictureShowsTheMessage() {
    dialogs_->Files = {Path("missing/map.bmp")};
    QTest::mouseClick(window_->Button3, Qt::LeftButton);
    QCOMPARE(errors_, QStringList{"Cannot create file \"" + Path("missing/map.bmp") +
                                  "\". No such file or directory"});
    QVERIFY(window_->isVisible());
  }

  void anUnreadableTownDatabaseShowsItsMessageAndKeepsTheMap() {
    window_->cbAutoRefresh->setChecked(false);
    window_->neWidth->SetValue(300);
    const std::string before = PictureBytes(window_->iMap->Picture());
    RandSeed = 31337;
    // Reading this regular file fails with an input/output error, also for root.
    window_->eTownDB->setText(QStringLiteral("/proc/self/mem"));
    QTest::mouseClick(window_->Button1, Qt::LeftButton);
    QCOMPARE(errors_.size(), 1);
    QVERIFY(errors_.front().startsWith(QStringLiteral("I/O error")));
    QVERIFY(PictureBytes(window_->iMap->Picture()) == before);
    QCOMPARE(RandSeed, 31337u);
    QCOMPARE(window_->pStatus->text(), QString());
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }

  void enterInANumberFieldPressesRefresh() {
    window_->cbAutoRefresh->setChecked(false);
    window_->neDiversity->setFocus();
    QTest::keyClick(window_->neDiversity, Qt::Key_Return);
    QCOMPARE(renders_->count(), 2);
    QCOMPARE(window_->neDiversity->text(), QStringLiteral("700"));
  }

  void draggingTheWaterLabelChangesTheFieldAndTheMap() {
    QWidget* label = window_->AdjustLabel2;
    SendMouse(label, QEvent::MouseButtonPress, {10, 5}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(label, QEvent::MouseMove, {13, 5}, Qt::NoButton, Qt::LeftButton);
    SendMouse(label, QEvent::MouseMove, {15, 9}, Qt::NoButton, Qt::LeftButton);
    SendMouse(label, QEvent::MouseButtonRelease, {15, 9}, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(window_->neWaterAmount->Value(), 155.0);
    QCOMPARE(renders_->count(), 3);
    TMapParameters expected;
    expected.WaterAmount = 155;
    QVERIFY(PictureBytes(window_->iMap->Picture()) == ExpectedBytes(expected));
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
