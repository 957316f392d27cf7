// The main window driven with real events under the offscreen platform: what each action renders,
// which files it writes and what the top-level handler shows.
#include <unistd.h>

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cmath>
#include <deque>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "parameters/NumberText.h"
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
    QVERIFY(EncodeBmp(window_->iMap->Picture()) == FileBytes(Path("cli.bmp")));
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
    QVERIFY(EncodeBmp(window_->iMap->Picture()) == ExpectedBytes(window_->Parameters()));
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

  void anUnwritablePictureShowsTheMessageAndKeepsTheEarlierFile() {
    window_->neWidth->SetValue(60);
    window_->neHeight->SetValue(40);
    const QTemporaryDir dir;  // of this test alone, to count what is left in it
    const auto Path = [&](const QString& name) { return dir.filePath(name); };
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("folder.bmp")));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("read-only")));
    { std::ofstream(Path("keep.bmp").toStdString()) << "old"; }
    { std::ofstream(Path("read-only/keep.bmp").toStdString()) << "old"; }
    QFile::setPermissions(Path("read-only"), QFile::ReadOwner | QFile::ExeOwner);
    struct TCase {
      QString chosen;
      long diskBudget;  // bytes the disk takes before it is full; -1: as many as written
      QString reason;
    };
    std::vector<TCase> cases = {
        {Path("missing/map"), -1, "No such file or directory"},
        {Path("folder.bmp"), -1, "Is a directory"},
        {Path("keep.bmp"), 0, "No space left on device"},
        {Path("keep.bmp"), 2000, "No space left on device"},
    };
    // Permission bits do not stop a privileged user from making a file in the folder.
    if (::geteuid() != 0) cases.push_back({Path("read-only/keep.bmp"), -1, "Permission denied"});
    for (const TCase& c : cases) {
      errors_.clear();
      dialogs_->Files = {c.chosen};
      const int before = renders_->count();
      {
        std::optional<testing::TFailingDiskScope> disk;
        if (c.diskBudget >= 0) disk.emplace(c.diskBudget, ENOSPC);
        QTest::mouseClick(window_->Button3, Qt::LeftButton);
      }
      QCOMPARE(renders_->count(), before + 1);  // the render stays on screen
      const QString name = c.chosen.endsWith(".bmp") ? c.chosen : c.chosen + ".bmp";
      QCOMPARE(errors_, QStringList{"Cannot create file \"" + name + "\". " + c.reason});
    }
    QFile::setPermissions(Path("read-only"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(FileBytes(Path("keep.bmp")), std::string("old"));
    QCOMPARE(FileBytes(Path("read-only/keep.bmp")), std::string("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 3);
    QCOMPARE(QDir(Path("read-only")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 1);
    QVERIFY(window_->isVisible());
  }

  void aPresetThatCannotBeWrittenShowsTheMessageAndStaysAsItWas() {
    const std::string original = "; mine\n[Params]\nWidth=5\n";
    { std::ofstream(Path("locked.hpf").toStdString()) << original; }
    QVERIFY(QFile::setPermissions(Path("locked.hpf"),
                                  QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("folder.hpf")));
    dialogs_->Files = {Path("locked.hpf"), Path("folder"), Path("missing/preset")};
    for (const char* name : {"locked.hpf", "folder.hpf", "missing/preset.hpf"}) {
      errors_.clear();
      QTest::mouseClick(window_->Button5, Qt::LeftButton);
      QCOMPARE(errors_, QStringList{"Unable to write to " + Path(name)});
    }
    QCOMPARE(FileBytes(Path("locked.hpf")), original);
    QCOMPARE(QFileInfo(Path("locked.hpf")).permissions() & QFile::WriteOwner, QFile::Permissions());
    QCOMPARE(renders_->count(), 1);
  }

  void textThatIsNoNumberReadsAsANumberInTheFieldsRange() {
    window_->cbAutoRefresh->setChecked(false);
    window_->neWidth->SetValue(40);
    window_->neHeight->SetValue(30);
    const TMapParameters small = window_->Parameters();
    const QString separator = LocaleDecimalSeparator();
    struct TEntry {
      const char* what;
      QString text;
      bool pasted;  // typed characters pass the key filter, pasted ones do not
    };
    const TEntry entries[] = {
        {"empty", "", false},
        {"a lone minus", "-", false},
        {"a lone plus", "+", false},
        {"two separators", "1" + separator + separator + "2", false},
        {"signs inside", "1-2+", false},
        {"a lone separator", separator, false},
        {"pasted letters", "abc", true},
        {"pasted digits and letters", "12abc", true},
        {"pasted spaces", "   ", true},
        {"1e999", "1e999", true},
        {"-1e999", "-1e999", true},
        {"nan", "nan", true},
        {"inf", "-inf", true},
    };
    const struct {
      TNumberEdit* field;
      double TMapParameters::*value;
    } fields[] = {
        {window_->neWidth, &TMapParameters::Width},
        {window_->neHeight, &TMapParameters::Height},
        {window_->neRandSeed, &TMapParameters::RandSeed},
        {window_->neDiversity, &TMapParameters::Diversity},
        {window_->neWaterAmount, &TMapParameters::WaterAmount},
        {window_->neTownAmount, &TMapParameters::TownAmount},
        {window_->neGridSize, &TMapParameters::GridSize},
        {window_->neShadows, &TMapParameters::Shadows},
    };
    for (const auto& [field, member] : fields) {
      for (const TEntry& entry : entries) {
        window_->PageControl1->setCurrentWidget(field->parentWidget());
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        if (entry.pasted) {
          QApplication::clipboard()->setText(entry.text);
          QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        } else {
          QTest::keyClicks(field, entry.text);
        }
        const QString context = field->objectName() + ", " + entry.what;
        QVERIFY2(field->text() == entry.text, qPrintable(context));
        window_->Button1->setFocus();  // leaving the field puts its text in normal form
        const double value = field->Value();
        QVERIFY2(std::isfinite(value) && value >= field->Min() && value <= field->Max(),
                 qPrintable(context));
        QVERIFY2(field->text().toStdString() == FormatNumberText(value, separator.toStdString()),
                 qPrintable(context));
        const int before = renders_->count();
        QTest::mouseClick(window_->Button1, Qt::LeftButton);
        QCOMPARE(renders_->count(), before + 1);
        const TMapParameters params = window_->Parameters();
        QVERIFY2(EncodeBmp(window_->iMap->Picture()) == ExpectedBytes(params), qPrintable(context));
        QVERIFY2(errors_.isEmpty(), qPrintable(context));
        field->SetValue(small.*member);  // the next entry starts from the small map
      }
    }
  }

  void anUnreadableTownDatabaseShowsItsMessageAndKeepsTheMap() {
    window_->cbAutoRefresh->setChecked(false);
    window_->neWidth->SetValue(300);
    const std::string before = EncodeBmp(window_->iMap->Picture());
    RandSeed = 31337;
    // Reading this regular file fails with an input/output error, also for root.
    window_->eTownDB->setText(QStringLiteral("/proc/self/mem"));
    QTest::mouseClick(window_->Button1, Qt::LeftButton);
    QCOMPARE(errors_.size(), 1);
    QCOMPARE(errors_.front(),
             QStringLiteral("Cannot read town database \"/proc/self/mem\": I/O error 5"));
    QVERIFY(EncodeBmp(window_->iMap->Picture()) == before);
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
    TPointer pointer;
    pointer.Press(label, {10, 5});
    pointer.Move(label, {13, 5});
    pointer.Move(label, {15, 9});
    pointer.Release(label, {15, 9});
    QCOMPARE(window_->neWaterAmount->Value(), 155.0);
    QCOMPARE(renders_->count(), 3);
    TMapParameters expected;
    expected.WaterAmount = 155;
    QVERIFY(EncodeBmp(window_->iMap->Picture()) == ExpectedBytes(expected));
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
