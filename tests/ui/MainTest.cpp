// The main window driven with real events under the offscreen platform: what each action renders,
// which files it writes, what the dialogs ask, the keys, the zoom and the start-up file.
#include <QCheckBox>
#include <QClipboard>
#include <QCryptographicHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <cerrno>
#include <filesystem>
#include <memory>

#include "parameters/Preset.h"
#include "parameters/RenderRequest.h"
#include "synthesis/random/Random.h"
#include "synthesis/raster/Bmp.h"
#include "tests/FailingDisk.h"
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

  std::optional<QString> SavePicture() override { return Save("SavePicture", PictureExt); }
  std::optional<QString> SavePreset() override { return Save("SavePreset", PresetExt); }
  std::optional<QString> OpenPreset() override { return Save("OpenPreset", {}); }
  std::optional<QString> OpenTownDB() override { return Save("OpenTownDB", {}); }
  std::optional<TColor> ChooseColor(TColor) override {
    return Colors.empty() ? std::nullopt : Colors.takeFirst();
  }
  bool ConfirmReplace(const QString& FileName) override { return Asked << FileName, Replace; }
  void RefuseName(const QString& Message) override { Refused << Message; }

 private:
  std::optional<QString> Save(const QString& dialog, const QString& ext) {
    Shown << dialog;
    while (!Typed.isEmpty()) {
      if (!Ask || ext.isEmpty()) return Typed.takeFirst();
      if (const auto name = AcceptSaveName(Typed.takeFirst(), ext, *this)) return name;
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

  void editsRenderWhileAutoRefreshIsTicked() {
    window_->neWidth->setFocus();
    window_->neWidth->selectAll();
    QTest::keyClicks(window_->neWidth, QStringLiteral("640"));
    QCOMPARE(renders_->count(), 3);  // one for each change of the text
    TPointer pointer;                // the water label drags the field by the pointer's travel
    pointer.Press(window_->WaterLabel, {10, 5});
    pointer.Move(window_->WaterLabel, {13, 5});
    pointer.Move(window_->WaterLabel, {15, 9});
    pointer.Release(window_->WaterLabel, {15, 9});
    QCOMPARE(window_->neWaterAmount->Value(), 155.0);
    QCOMPARE(renders_->count(), 3 + 2);
    window_->cbAutoRefresh->click();  // unticking renders nothing, nor do edits after it
    window_->neWaterAmount->SetValue(99);
    QCOMPARE(renders_->count(), 5);
    window_->neDiversity->setFocus();
    QTest::keyClick(window_->neDiversity, Qt::Key_Return);  // Enter presses Refresh!
    QCOMPARE(renders_->count(), 6);
    window_->cbAutoRefresh->click();
    QCOMPARE(renders_->count(), 7);
    QCOMPARE(EncodeBmp(window_->iMap->Picture()), Rendered(window_->Parameters()));
  }

  void swatchPressesWithAnyButtonOpenTheColourDialog() {
    dialogs_->Colors = {RGB(1, 2, 3), std::nullopt};
    QTest::mouseClick(window_->sGrid, Qt::RightButton);
    QTest::mouseClick(window_->sGrid, Qt::LeftButton);       // cancelled: nothing
    const QImage swatch = window_->sGrid->grab().toImage();  // the colour in a black outline
    QCOMPARE(swatch.pixelColor(0, 0), QColor(Qt::black));
    QCOMPARE(swatch.pixelColor(swatch.rect().center()), QColor(1, 2, 3));
    QCOMPARE(renders_->count(), 1);
  }

  void presetsLoadRenderingOnceAndSaveWithTheExtension() {
    TMapParameters saved;
    saved.Width = 120;
    saved.Height = 90;
    WritePreset(Path("a.hpf").toStdString(), saved);
    const QString notPreset = Write(QStringLiteral("Vorlage äöü.hpf"), "\x89PNG\r\n\x1a\n");
    std::filesystem::create_directory(dir_->Dir() / "folder.hpf");
    dialogs_->Ask = false;  // the window adds the extension itself
    dialogs_->Typed = {Path("a.hpf"), notPreset, Path("mine"), Path("folder")};
    QTest::mouseClick(window_->LoadPresetButton, Qt::LeftButton);
    QCOMPARE(renders_->count(), 1);
    QCOMPARE(window_->iMap->size(), QSize(120, 90));
    QTest::mouseClick(window_->LoadPresetButton, Qt::LeftButton);  // named in the message as chosen
    QCOMPARE(errors_, QStringList{notPreset + " is not a preset: it holds none of its keys."});
    QCOMPARE(renders_->count(), 1);
    window_->neTownAmount->SetValue(30.5);
    QTest::mouseClick(window_->SavePresetButton, Qt::LeftButton);
    saved.TownAmount = 30;
    QCOMPARE(ReadPreset(Path("mine.hpf").toStdString()), saved);  // nothing else changed
    QTest::mouseClick(window_->SavePresetButton, Qt::LeftButton);
    QCOMPARE(errors_.last(), "Unable to write to " + Path("folder.hpf"));
  }

  // Only the New seed button draws from the seed sequence, never a render, failed or not.
  void anUnreadableTownDatabaseShowsItsMessageAndKeepsTheMap() {
    const std::string shown = EncodeBmp(window_->iMap->Picture());
    window_->cbAutoRefresh->setChecked(false);
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
    QCOMPARE(renders_->count(), 1);  // with automatic refresh off, a new seed renders nothing
  }

  void layoutFollowsTheWidthAndTheSmallestWindowShowsEveryButton() {
    QCOMPARE(window_->windowTitle(), QStringLiteral("Brackmoor Hillograph"));
    // Every named control where the window places it (a label's size follows its font).
    QByteArray places;
    for (const QWidget* w : window_->findChildren<QWidget*>()) {
      const QWidget* parent = w->parentWidget();
      if (w->objectName().isEmpty() || parent->inherits("QStackedWidget") ||
          parent->inherits("QTabBar")) {
        continue;  // unnamed, or placed by the page control
      }
      const QRect r = qobject_cast<const QLabel*>(w) ? QRect(w->pos(), QSize()) : w->geometry();
      places += QStringLiteral("%1 %2 %3 %4 %5\n")
                    .arg(w->objectName())
                    .arg(r.x())
                    .arg(r.y())
                    .arg(r.width())
                    .arg(r.height())
                    .toUtf8();
    }
    QCOMPARE(QCryptographicHash::hash(places, QCryptographicHash::Sha256).toHex().left(16),
             QByteArray("658317c6fc9081f6"));
    window_->resize(100, 100);
    const QWidget* shown[] = {window_->Pages, window_->LoadPresetButton, window_->cbAutoRefresh};
    for (const QWidget* w : shown)
      QVERIFY(window_->rect().contains(QRect(w->mapTo(window_.get(), QPoint()), w->size())));
  }

  // Each typed name is tried in turn; a folder that does not exist is refused until corrected.
  void savesAskAboutTheFileThatWillBeWrittenAndReportAFailedWrite() {
    Write("p1.hpf", "old");
    Write("map.PNG", "old");
    dialogs_->Typed = {Path("missing/p1"), Path("p1")};
    QTest::mouseClick(window_->SavePresetButton, Qt::LeftButton);  // answered No
    QCOMPARE(dir_->Read("p1.hpf"), std::string("old"));
    QCOMPARE(dialogs_->Refused.filter(Path("missing")).size(), 1);
    dialogs_->Typed = {Path("map.PNG")};
    dialogs_->Replace = true;
    QTest::mouseClick(window_->SavePictureButton, Qt::LeftButton);
    QCOMPARE(dialogs_->Asked, (QStringList{Path("p1.hpf"), Path("map.PNG")}));
    // A PNG whatever the case of its extension, with the pixels of the map.
    QCOMPARE(dir_->Read("map.PNG").substr(1, 3), std::string("PNG"));
    QCOMPARE(QImage(Path("map.PNG")).convertToFormat(QImage::Format_RGB32),
             Shown(window_->iMap->Picture()));
    QTest::mouseClick(window_->SavePictureButton, Qt::LeftButton);  // cancelled: no render
    QCOMPARE(renders_->count(), 1);
    dialogs_->Ask = false;  // the window adds the extension itself
    dialogs_->Typed = {Path("plain"), Path("plain")};
    QTest::mouseClick(window_->SavePictureButton, Qt::LeftButton);
    QCOMPARE(dir_->Read("plain.bmp"), Rendered(window_->Parameters()));
    {
      const testing::TFailingDiskScope disk(2000, ENOSPC);
      QTest::mouseClick(window_->SavePictureButton, Qt::LeftButton);
    }
    QCOMPARE(errors_, QStringList{"Cannot create file \"" + Path("plain.bmp") +
                                  "\". No space left on device"});
    QCOMPARE(dir_->Read("plain.bmp"), Rendered(window_->Parameters()));      // the old file stays
    QCOMPARE(EncodeBmp(window_->iMap->Picture()), dir_->Read("plain.bmp"));  // and the render
    // A drawing in layers.
    dialogs_->Typed = {Path("map.svg")};
    QTest::mouseClick(window_->SavePictureButton, Qt::LeftButton);
    QVERIFY(dir_->Read("map.svg").find("inkscape:label=\"Names\"") != std::string::npos);
  }

  void namesOutsideAsciiSaveLoadAndReachTheCore() {
    const QString preset = Path(QStringLiteral("Küste ñ 海.hpf"));
    const QString towns = Write(QStringLiteral("Städte ø.txt"), "Zürich\nÅrhus\n");
    window_->neTownAmount->SetValue(200);
    window_->eTownDB->setText(towns);
    QCOMPARE(window_->eTownDB->toolTip(), towns);
    dialogs_->Typed = {preset, preset};
    QTest::mouseClick(window_->SavePresetButton, Qt::LeftButton);
    window_->eTownDB->clear();
    QTest::mouseClick(window_->LoadPresetButton, Qt::LeftButton);
    QCOMPARE(window_->eTownDB->text(), towns);
    QCOMPARE(errors_, QStringList());  // the town file was read
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
  }

  // The link reads back, on the command line or in the page, to the map of the controls.
  void copyLinkCopiesTheMapOfTheControls() {
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
    TfrmMain window;
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
};

}  // namespace hillograph

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  hillograph::TApplication app(argc, argv);
  hillograph::MainTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "MainTest.moc"
