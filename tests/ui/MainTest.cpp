// The main window driven with real events under the offscreen platform: what each action renders,
// which files it writes, what the dialogs ask, the keys, the zoom and the start-up file.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QCryptographicHash>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QUndoStack>
#include <filesystem>
#include <memory>

#include "parameters/Preset.h"
#include "parameters/RenderRequest.h"
#include "synthesis/random/Random.h"
#include "synthesis/raster/Bmp.h"
#include "tests/TempFolder.h"
#include "tests/ui/WidgetInput.h"
#include "ui/AdjustControl.h"
#include "ui/Application.h"
#include "ui/ColorSwatch.h"
#include "ui/Main.h"
#include "ui/MapView.h"
#include "ui/StartUp.h"

namespace hillograph {
namespace {

// A user at the dialogs: a save dialog tries the typed names in turn until one is accepted (or,
// without Ask, takes the first as typed); an empty list cancels. A replace question gets
// Replace; colours come from a queue.
class TUserDialogs : public TDialogs, public TSaveQuestions {
 public:
  QStringList Typed, Shown, Asked, Refused;
  bool Replace = false, Ask = true;
  QList<std::optional<TColor>> Colors;
  TSaveType PictureType = PictureSaveTypes[0];  // the file type chosen in the picture dialog

  std::optional<TSaveChoice> SavePicture() override {
    const auto name = Save("SavePicture", PictureType.DefaultExt, PictureType.Kind);
    if (!name) return std::nullopt;
    return TSaveChoice{*name, PictureType.Kind};
  }
  std::optional<QString> SavePreset() override { return Save("SavePreset", PresetExt); }
  std::optional<QString> OpenPreset() override { return Save("OpenPreset", {}); }
  std::optional<QString> OpenTownDB() override { return Save("OpenTownDB", {}); }
  std::optional<TColor> ChooseColor(TColor) override {
    return Colors.empty() ? std::nullopt : Colors.takeFirst();
  }
  bool ConfirmReplace(const QString& FileName) override { return Asked << FileName, Replace; }
  void RefuseName(const QString& Message) override { Refused << Message; }

 private:
  std::optional<QString> Save(const QString& dialog, const QString& ext,
                              std::optional<TSaveKind> kind = std::nullopt) {
    Shown << dialog;
    while (!Typed.isEmpty()) {
      if (!Ask || ext.isEmpty()) return Typed.takeFirst();
      if (const auto name = AcceptSaveName(Typed.takeFirst(), ext, *this, kind)) return name;
    }
    return std::nullopt;
  }
};

std::string Rendered(const TMapParameters& params) {
  TPicture picture;
  RenderMapParameters(picture, params);
  return EncodeBmp(picture);
}

// The picture as the view must show it.
QImage Shown(const TPicture& picture) {
  return QImage::fromData(QByteArray::fromStdString(EncodeBmp(picture)))
      .convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class MainTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TfrmMain> window_;  // each test's window lives until the next one starts
  TUserDialogs* dialogs_ = nullptr;
  std::unique_ptr<QSignalSpy> renders_;
  QStringList errors_;
  std::unique_ptr<testing::TTempFolder> dir_;  // a new one for each test

  QString Path(const QString& name) const {
    return QString::fromStdString(dir_->Path(name.toStdString()));
  }
  QString Write(const QString& name, const std::string& bytes) const {
    return QString::fromStdString(dir_->Write(name.toStdString(), bytes));
  }
  // Types the names into the dialog the button opens.
  void Choose(QWidget* button, const QStringList& names) {
    dialogs_->Typed = names;
    QTest::mouseClick(button, Qt::LeftButton);
  }
  void SetSize(int width, int height) {
    window_->cbAutoRefresh->setChecked(false);
    window_->neWidth->SetValue(width);
    window_->neHeight->SetValue(height);
    window_->cbAutoRefresh->setChecked(true);
    renders_->clear();
  }

 private slots:
  void init() {
    dir_ = std::make_unique<testing::TTempFolder>();
    errors_.clear();
    static_cast<TApplication*>(QApplication::instance())->ShowError =
        [this](const QString& message) { errors_ << message; };
    auto dialogs = std::make_unique<TUserDialogs>();
    dialogs_ = dialogs.get();
    window_ = std::make_unique<TfrmMain>(std::move(dialogs));
    renders_ = std::make_unique<QSignalSpy>(window_.get(), &TfrmMain::Rendered);
    QVERIFY(ShowActive(*window_));
    SetSize(90, 70);
  }

  void editsRenderWhileAutoRefreshIsTickedAndAFailedRenderKeepsTheMap() {
    window_->neWidth->setFocus();
    window_->neWidth->selectAll();
    QTest::keyClicks(window_->neWidth, QStringLiteral("640"));
    QCOMPARE(renders_->count(), 3);   // one for each change of the text
    window_->cbAutoRefresh->click();  // unticking renders nothing, nor do edits after it
    window_->neWaterAmount->SetValue(99);
    QCOMPARE(renders_->count(), 3);
    window_->neDiversity->setFocus();
    QTest::keyClick(window_->neDiversity, Qt::Key_Return);  // Enter presses Refresh!
    QCOMPARE(renders_->count(), 4);
    // A town database that cannot be read: its message, and the map stays. Only New seed draws
    // from the seed sequence, never a render, failed or not.
    const std::string shown = EncodeBmp(window_->iMap->Picture());
    window_->neWidth->SetValue(300);
    RandSeed = 31337;
    window_->eTownDB->setText(QStringLiteral("/proc/self/mem"));  // fails to read, also for root
    QTest::mouseClick(window_->RefreshButton, Qt::LeftButton);
    QCOMPARE(errors_, QStringList{"Cannot read town database \"/proc/self/mem\": I/O error 5"});
    QCOMPARE(EncodeBmp(window_->iMap->Picture()), shown);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    window_->eTownDB->clear();
    QTest::mouseClick(window_->RefreshButton, Qt::LeftButton);
    QCOMPARE(RandSeed, 31337u);
    QTest::mouseClick(window_->btnNewRandSeed, Qt::LeftButton);
    QVERIFY(RandSeed != 31337u && window_->neRandSeed->Value() != TMapParameters{}.RandSeed);
    QCOMPARE(renders_->count(), 5);  // with automatic refresh off, a new seed renders nothing
    window_->cbAutoRefresh->click();
    QCOMPARE(renders_->count(), 6);
  }

  void presetsLoadRenderingOnceAndSaveWithTheExtension() {
    TMapParameters saved;
    saved.Width = 120;
    saved.Height = 90;
    WritePreset(Path("a.hpf").toStdString(), saved);
    const QString notPreset = Write(QStringLiteral("Vorlage äöü.hpf"), "\x89PNG\r\n\x1a\n");
    std::filesystem::create_directory(dir_->Dir() / "folder.hpf");
    dialogs_->Ask = false;  // the window adds the extension itself
    const QString mine = Path(QStringLiteral("Küste ñ 海"));
    Choose(window_->LoadPresetButton,
           {Path("a.hpf"), notPreset, mine, mine + ".hpf", Path("folder")});
    QCOMPARE(renders_->count(), 1);
    QCOMPARE(window_->iMap->size(), QSize(120, 90));
    QTest::mouseClick(window_->LoadPresetButton, Qt::LeftButton);  // named in the message as chosen
    QCOMPARE(errors_, QStringList{notPreset + " is not a preset: it holds none of its keys."});
    QCOMPARE(renders_->count(), 1);
    window_->neTownAmount->SetValue(30.5);
    const QString towns = Write(QStringLiteral("Städte ø.txt"), "Zürich\nÅrhus\n");
    window_->eTownDB->setText(towns);
    QCOMPARE(window_->eTownDB->toolTip(), towns);
    QTest::mouseClick(window_->SavePresetButton, Qt::LeftButton);
    saved.TownAmount = 30;
    saved.TownDB = towns.toStdString();
    QCOMPARE(ReadPreset((mine + ".hpf").toStdString()), saved);  // nothing else changed
    window_->eTownDB->clear();
    QTest::mouseClick(window_->LoadPresetButton, Qt::LeftButton);
    QCOMPARE(window_->eTownDB->text(), towns);
    QCOMPARE(errors_.size(), 1);  // the town file was read
    QTest::mouseClick(window_->SavePresetButton, Qt::LeftButton);
    QCOMPARE(errors_.last(), "Unable to write to " + Path("folder.hpf"));
  }

  void layoutFollowsTheWidthAndTheSmallestWindowShowsEveryButton() {
    // Every named control where the window places it (a label's size follows its font).
    QByteArray places;
    for (const QWidget* w : window_->findChildren<QWidget*>()) {
      const QWidget* parent = w->parentWidget();
      if (w->objectName().isEmpty() || parent->inherits("QStackedWidget") ||
          parent->inherits("QTabBar") || parent == window_->StatusBar) {
        continue;  // unnamed, placed by the page control, or as wide as the text it shows now
      }
      const QRect r = qobject_cast<const QLabel*>(w) ? QRect(w->pos(), QSize()) : w->geometry();
      places += QString::asprintf("%s %d %d %d %d\n", qUtf8Printable(w->objectName()), r.x(), r.y(),
                                  r.width(), r.height())
                    .toUtf8();
    }
    QCOMPARE(QCryptographicHash::hash(places, QCryptographicHash::Sha256).toHex().left(16),
             QByteArray("a63a6a8f875ae869"));  // the map area opened at 640 x 480 inside
    // Centred, and the map area takes all the window gains.
    const QRect screen = window_->screen()->availableGeometry();
    QVERIFY((window_->frameGeometry().center() - screen.center()).manhattanLength() <= 8);
    const QSize area = window_->MapArea->size();
    window_->resize(window_->size() + QSize(200, 100));
    QCOMPARE(window_->MapArea->size(), area + QSize(200, 100));
    window_->resize(100, 100);
    const QWidget* shown[] = {window_->Pages, window_->LoadPresetButton, window_->cbAutoRefresh};
    for (const QWidget* w : shown)
      QVERIFY(window_->rect().contains(QRect(w->mapTo(window_.get(), QPoint()), w->size())));
  }

  // Each typed name is tried in turn; a folder that does not exist is refused until corrected.
  void savesAskAboutTheFileThatWillBeWritten() {
    Write("p1.hpf", "old");
    Write("map.PNG", "old");
    Choose(window_->SavePresetButton, {Path("missing/p1"), Path("p1")});  // answered No
    QCOMPARE(dir_->Read("p1.hpf"), std::string("old"));
    QCOMPARE(dialogs_->Refused.filter(Path("missing")).size(), 1);
    dialogs_->Typed = {Path("map.PNG")};
    dialogs_->Replace = true;
    QTest::mouseClick(window_->SavePictureButton, Qt::LeftButton);
    QCOMPARE(dialogs_->Asked, (QStringList{Path("p1.hpf"), Path("map.PNG")}));
    QCOMPARE(dir_->Read("map.PNG").substr(1, 3), std::string("PNG"));  // whatever the case
    QTest::mouseClick(window_->SavePictureButton, Qt::LeftButton);     // cancelled: no render
    QCOMPARE(renders_->count(), 1);
    dialogs_->Ask = false;  // the window adds the extension itself
    Choose(window_->SavePictureButton, {Path("plain"), Path("plain")});
    QCOMPARE(dir_->Read("plain.bmp"), Rendered(window_->Parameters()));
    // A drawing in layers.
    Choose(window_->SavePictureButton, {Path("map.svg")});
    QVERIFY(dir_->Read("map.svg").find("inkscape:label=\"Names\"") != std::string::npos);
  }

  void shortcutsDoWhatTheirButtonsDo() {
    QGuiApplication::clipboard()->clear();
    window_->RefreshButton->setFocus();  // a text field with the focus keeps Ctrl+C
    for (const char* keys : {"F5", "Alt+R", "Ctrl+O", "Ctrl+S", "Ctrl+Shift+S", "Alt+S", "Ctrl+C"})
      QTest::keySequence(window_.get(), QKeySequence(keys));
    // A mnemonic clicks its button after a short delay.
    QTRY_COMPARE(renders_->count(), 2);
    QTRY_COMPARE(dialogs_->Shown,
                 (QStringList{"OpenPreset", "SavePicture", "SavePreset", "SavePreset"}));
    QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
             Shown(window_->iMap->Picture()));
    // The link reads back, on the command line or in the page, to the map of the controls.
    window_->neWaterAmount->SetValue(35.5);
    window_->eTownDB->setText(QStringLiteral("towns.txt"));
    QTest::keySequence(window_.get(), QKeySequence(QStringLiteral("Ctrl+Shift+C")));
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("#Width=90&Height=70&WaterAmount=35.5"));
    QVERIFY(window_->pStatus->text().contains(QStringLiteral("same town database")));
  }

  void zoomFitsShowsActualSizeAndFollowsCtrlWheel() {
    SetSize(100, 40);
    TMapView* view = window_->iMap;
    QTest::keyClick(window_.get(), Qt::Key_0, Qt::ControlModifier);  // fit: fills the area one way
    const QSize spare = window_->MapArea->maximumViewportSize() - view->size();
    QVERIFY(spare.width() >= 0 && spare.height() >= 0 && qMin(spare.width(), spare.height()) <= 1);
    QTest::keyClick(window_.get(), Qt::Key_1, Qt::ControlModifier);  // one pixel per pixel
    QCOMPARE(view->grab().toImage().convertToFormat(QImage::Format_RGB32), Shown(view->Picture()));
    Wheel(view, {0, 0}, 120, Qt::ControlModifier);
    QCOMPARE(view->Zoom(), WheelZoomStep);
    Wheel(view, {0, 0}, 120 * 30, Qt::ControlModifier);
    QCOMPARE(view->Zoom(), MaxZoom);
    Wheel(view, {0, 0}, -120 * 30, Qt::ControlModifier);
    Wheel(view, {0, 0}, 120);  // without Ctrl the area scrolls, the zoom stays
    QCOMPARE(view->Zoom(), MinZoom);
    view->SetZoom(2);  // each map pixel a square of four, also in a part painted alone
    const QImage doubled = Shown(view->Picture()).scaled(200, 80);
    QCOMPARE(view->grab().toImage().convertToFormat(QImage::Format_RGB32), doubled);
    QCOMPARE(view->grab({10, 6, 40, 20}).toImage().convertToFormat(QImage::Format_RGB32),
             doubled.copy(10, 6, 40, 20));
    // Half notches add up; the point under the pointer stays there.
    QSignalSpy scrolled(view, &TMapView::ScrollBy);
    for (int turn = 0; turn < 3; ++turn)
      Wheel(view, {30, 20}, 60, Qt::ControlModifier);
    QCOMPARE(view->Zoom(), 2 * WheelZoomStep);
    QCOMPARE(scrolled.size(), 1);
    QCOMPARE(scrolled[0][0].toPoint(), QPoint(8, 5));  // (30, 20) x 1.25, less (30, 20)
    QCOMPARE(renders_->count(), 0);
  }

  // The file named on the command line is loaded before the window shows, as Load does; an
  // unknown option or a second file is ignored.
  void startsWithTheFileNamedAndRendersOnce_data() {
    QTest::addColumn<QStringList>("arguments");  // after the program's name
    QTest::addColumn<QString>("contents");       // of a.hpf; empty: it does not exist
    const QString preset = "[Params]\nWidth=50\nHeight=40\nRandSeed=7\n[x]\nAutoRefresh=";
    QTest::newRow("refreshing") << QStringList{"a.hpf"} << preset + "1";
    QTest::newRow("off, unknown option") << QStringList{"--bogus", "a.hpf"} << preset + "0";
    QTest::newRow("missing, second file") << QStringList{"a.hpf", "b.hpf"} << "";
    QTest::newRow("no file") << QStringList{} << "";
  }
  void startsWithTheFileNamedAndRendersOnce() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, contents);
    if (!contents.isEmpty()) Write("a.hpf", contents.toStdString());
    for (QString& argument : arguments)
      if (argument.endsWith(".hpf")) argument = Path(argument);
    arguments.prepend("hillograph");
    QTextStream ignored(stderr);
    const QString file = ReadStartUpFile(arguments, ignored);
    RandSeed = 7;
    TfrmMain window;
    QVERIFY(RandSeed != 7);  // the seed sequence starts from the clock
    std::vector<std::string> renders;
    connect(&window, &TfrmMain::Rendered,
            [&] { renders.push_back(EncodeBmp(window.iMap->Picture())); });
    if (!file.isEmpty()) LoadStartUpPreset(window, file);  // as the program does
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(errors_.filter(Path("a.hpf")).size(), !file.isEmpty() && contents.isEmpty());
    QCOMPARE(errors_.size(), !file.isEmpty() && contents.isEmpty());
    QCOMPARE(renders, std::vector<std::string>{Rendered(
                          contents.isEmpty() ? TMapParameters{} : ReadPreset(file.toStdString()))});
    QCOMPARE(window.cbAutoRefresh->isChecked(), !contents.endsWith("0"));
  }

  // Only without DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM and -platform: one line, status 1.
  void withoutADisplayOneLineAndStatusOne() {
    for (const QString given : {"", "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "-platform"}) {
      QProcessEnvironment environment;
      QStringList arguments{"hillograph"};
      if (given.startsWith('-')) arguments << given << "offscreen";
      if (!given.isEmpty() && !given.startsWith('-')) environment.insert(given, "x");
      QString said;
      QTextStream err(&said);
      QCOMPARE(RefuseWithoutDisplay(arguments, environment, err),
               given.isEmpty() ? std::optional(1) : std::nullopt);
      QCOMPARE(said.count('\n'), int(given.isEmpty()));
    }
    QVERIFY(ResetRequested({"hillograph", "--reset"}) && !ResetRequested({"hillograph", "a.hpf"}));
  }

  // One step for each whole change: typing into a field, a drag, a preset load, a reset.
  void undoAndRedoWalkBackWholeChanges() {
    TMapParameters preset;
    preset.Width = 60;
    preset.Height = 50;
    WritePreset(Path("a.hpf").toStdString(), preset);
    window_->UndoStack->clear();
    window_->neWidth->setFocus();
    window_->neWidth->selectAll();
    QTest::keyClicks(window_->neWidth, QStringLiteral("120"));
    TPointer pointer;
    pointer.Press(window_->WaterLabel, {10, 5});
    pointer.Move(window_->WaterLabel, {13, 5});
    pointer.Move(window_->WaterLabel, {15, 5});
    pointer.Release(window_->WaterLabel, {15, 5});
    QCOMPARE(renders_->count(), 3 + 2);  // the label drags the field by the pointer's travel
    Choose(window_->LoadPresetButton, {Path("a.hpf")});
    window_->ResetAction->trigger();
    window_->RefreshButton->setFocus();
    renders_->clear();
    const auto state = [this] {
      return QPair(window_->neWidth->Value(), window_->neWaterAmount->Value());
    };
    const QPair<double, double> undone[] = {{60, 150}, {120, 155}, {120, 150}, {90, 150}};
    for (const auto& expected : undone) {
      QTest::keySequence(window_.get(), QKeySequence("Ctrl+Z"));
      QCOMPARE(state(), expected);
    }
    QTest::keySequence(window_.get(), QKeySequence("Ctrl+Shift+Z"));
    QCOMPARE(state(), QPair(120.0, 150.0));
    QCOMPARE(renders_->count(), 5);  // each step renders once
    QCOMPARE(EncodeBmp(window_->iMap->Picture()), Rendered(window_->Parameters()));
    // Inside a text field the keys are the field's own.
    window_->neWidth->setFocus();
    QTest::keyClick(window_->neWidth, Qt::Key_End);
    QTest::keyClicks(window_->neWidth, QStringLiteral("1"));
    QTest::keySequence(window_->neWidth, QKeySequence("Ctrl+Z"));
    QCOMPARE(window_->neWidth->text(), "120");
    QCOMPARE(window_->neWaterAmount->Value(), 150.0);
  }

  // Values, the window's place, the dialogs' last files and the recent presets outlive the
  // window; what has gone since is dropped with a word.
  void settingsOutliveTheWindow() {
    for (const char* name : {"a.hpf", "b.hpf"})
      WritePreset(Path(name).toStdString(), {});
    const QString kept = Path("kept.ini");
    window_->RememberIn(std::make_unique<QSettings>(kept, QSettings::IniFormat));
    Choose(window_->LoadPresetButton, {Path("a.hpf"), Path("b.hpf")});
    QTest::mouseClick(window_->LoadPresetButton, Qt::LeftButton);
    QCOMPARE(window_->RecentPresets(), (QStringList{Path("b.hpf"), Path("a.hpf")}));
    window_->sHill->SetBrushColor(RGB(1, 2, 3));
    dialogs_->LastNames[PictureDialog] = Path("pictures/m.png");
    dialogs_->LastNames[TownDBDialog] = Path("t.txt");
    window_->setGeometry(40, 50, 700, 650);
    window_->close();
    std::filesystem::remove(Path("b.hpf").toStdString());
    auto dialogs = std::make_unique<TUserDialogs>();
    TUserDialogs& again = *dialogs;
    TfrmMain next(std::move(dialogs));
    next.RememberIn(std::make_unique<QSettings>(kept, QSettings::IniFormat));
    QCOMPARE(next.Parameters(), window_->Parameters());
    QCOMPARE(next.geometry(), QRect(40, 50, 700, 650));
    QCOMPARE(next.RecentPresets(), QStringList{Path("a.hpf")});
    QCOMPARE(again.LastNames[TownDBDialog], Path("t.txt"));
    QCOMPARE(again.LastNames[PictureDialog], QString());  // its folder never existed
    next.show();                                          // the word stays after the first render
    QVERIFY(QTest::qWaitForWindowExposed(&next));
    QCOMPARE(next.pStatus->text(),
             "Gone since the last run, and forgotten: b.hpf, " + Path("pictures"));
  }

  // The status line, the stale map on the refresh button, the preset in the title, the map
  // dragged.
  void theWindowSaysWhatItShows() {
    QCOMPARE(window_->SizeLabel->text(), "90 × 70");
    QVERIFY(QRegularExpression("^\\d+ ms$").match(window_->RenderTimeLabel->text()).hasMatch());
    Wheel(window_->iMap, {0, 0}, 120, Qt::ControlModifier);
    QCOMPARE(window_->ZoomLabel->text(), "125 %");
    window_->cbAutoRefresh->setChecked(false);
    window_->neWaterAmount->SetValue(99);
    QVERIFY(window_->RefreshButton->font().bold() && !window_->RefreshButton->toolTip().isEmpty());
    window_->neWaterAmount->SetValue(150);  // back to what the map shows
    QVERIFY(!window_->RefreshButton->font().bold());
    window_->eTownDB->setText(Path("none.txt"));
    QTest::mouseClick(window_->RefreshButton, Qt::LeftButton);
    QVERIFY(!window_->RefreshButton->font().bold());
    QCOMPARE(window_->pStatus->text(), "Town database \"" + Path("none.txt") +
                                           "\" not found: the towns have invented names.");
    Choose(window_->SavePictureButton, {Path("t.png")});  // a recipe names no file: it says so
    Choose(window_->LoadPresetButton, {Path("t.png")});
    QVERIFY(window_->eTownDB->text().isEmpty());
    QVERIFY(window_->pStatus->text().startsWith("The map was made with the town database \"none"));
    window_->neWidth->setFocus();
    window_->neWidth->selectAll();
    window_->neWidth->insert("abc");
    QCOMPARE(window_->pStatus->text(), "\"abc\" is not a number; the field keeps 90.");
    QCOMPARE(window_->neWidth->toolTip(), window_->pStatus->text());
    QTest::keyClick(window_->neWidth, Qt::Key_Tab);  // and leaving it puts the number back
    QCOMPARE(window_->neWidth->text(), "90");
    WritePreset(Path("a.hpf").toStdString(), {});
    Choose(window_->LoadPresetButton, {Path("a.hpf")});
    QCOMPARE(window_->windowTitle(), "a.hpf - Brackmoor Hillograph");
    window_->ResetAction->trigger();
    QCOMPARE(window_->windowTitle(), "Brackmoor Hillograph");
    window_->resize(600, 400);  // the 640 x 480 map in a smaller area
    Wheel(window_->iMap, {0, 0}, -120, Qt::ControlModifier);
    QApplication::processEvents();
    TPointer pointer;
    QWidget* area = window_->MapArea->viewport();  // the map moves under the pointer
    pointer.Press(area, {200, 100});
    pointer.Move(area, {150, 70});
    pointer.Release(area, {150, 70});
    QCOMPARE(window_->MapArea->horizontalScrollBar()->value(), 50);
    QCOMPARE(window_->MapArea->verticalScrollBar()->value(), 30);
  }

  // Tab goes through the controls as they read; a swatch opens its dialog on Space or Enter and
  // names its colour.
  void keysReachEveryControlInReadingOrder() {
    const auto walk = [this](QWidget* from, int steps) {
      QStringList names;
      from->setFocus();
      for (int i = 0; i < steps; ++i) {
        names << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      }
      return names;
    };
    const QString buttons =
        "cbAutoRefresh RefreshButton LoadPresetButton SavePresetButton "
        "SavePictureButton AboutButton ExitButton";
    QCOMPARE(walk(window_->neWidth, 16).join(' '),
             "neWidth neHeight neRandSeed btnNewRandSeed neDiversity neWaterAmount neTownAmount "
             "eTownDB btnBrowseTownDB " +
                 buttons);
    window_->Pages->setCurrentWidget(window_->StylePage);
    QCOMPARE(walk(window_->sLandBorder, 17).join(' '),
             "sLandBorder sSeaMax neGridSize sMapFrame sPlain neShadows sGrid sHill sSeaMin "
             "sMountain " +
                 buttons);
    dialogs_->Colors = {RGB(0x12, 0xAB, 0xEF), std::nullopt, RGB(1, 2, 3)};
    QCOMPARE(window_->sGrid->toolTip(), "#2050A0");
    QTest::keyClick(window_->sGrid, Qt::Key_Space);
    QCOMPARE(window_->sGrid->toolTip(), "#12ABEF");
    QTest::keyClick(window_->sGrid, Qt::Key_Return);         // cancelled; no press of Refresh!
    QTest::mouseClick(window_->sGrid, Qt::RightButton);      // any button opens it
    const QImage swatch = window_->sGrid->grab().toImage();  // the colour in a black outline
    QCOMPARE(swatch.pixelColor(0, 0), QColor(Qt::black));
    QCOMPARE(swatch.pixelColor(swatch.rect().center()), QColor(1, 2, 3));
    QCOMPARE(renders_->count(), 2);
  }

  // Beside the picture, the heightmap and the towns of the map shown, byte for byte as the
  // command line writes them; a picture name of another kind is refused.
  void savesTheHeightmapAndTheTownsAsTheCommandLineDoes() {
    Choose(window_->SavePictureButton, {Path("m.jpg"), Path("m")});
    QCOMPARE(dialogs_->Refused, QStringList{"Cannot write a picture named \"" + Path("m.jpg") +
                                            "\": its name must end in .bmp, .png, .svg (or have no "
                                            "extension, for a BMP)."});
    QVERIFY(QFileInfo::exists(Path("m.bmp")) && !QFileInfo::exists(Path("m.jpg")));
    // PNG, raw and PGM heightmaps, towns, smooth PNG heightmap
    for (const auto& [type, name] : {std::pair(3, "w"), {4, "w"}, {5, "w"}, {6, "w"}, {7, "s"}}) {
      dialogs_->PictureType = PictureSaveTypes[static_cast<std::size_t>(type)];
      Choose(window_->SavePictureButton, {Path(name)});
    }
    for (const QStringList& args :
         {QStringList{"-o", Path("c.bmp"), "--heightmap", Path("c.png"), "--towns-json",
                      Path("c.json")},
          QStringList{"-o", Path("cs.bmp"), "--heightmap", Path("cs.png"), "--smooth-heightmap"}}) {
      QProcess render;
      render.start(HILLOGRAPH_RENDER_PROGRAM,
                   QStringList{"--set", "Width=90", "--set", "Height=70"} + args);
      QVERIFY(render.waitForFinished() && render.exitCode() == 0);
    }
    QCOMPARE(dir_->Read("s.png"), dir_->Read("cs.png"));
    QCOMPARE(dir_->Read("w.png"), dir_->Read("c.png"));
    QCOMPARE(dir_->Read("w.json"), dir_->Read("c.json"));
    QCOMPARE(dir_->Read("m.bmp"), dir_->Read("c.bmp"));
    QCOMPARE(dir_->Read("w.pgm").substr(0, 2), "P5");
  }
};

}  // namespace hillograph

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);  // never a developer's own settings
  hillograph::TApplication app(argc, argv);
  hillograph::MainTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "MainTest.moc"
