// What the window does for a user beyond the drag: the questions of the save dialogs, files that
// are no preset, PNG pictures, names outside ASCII, shortcuts, key and wheel steps, zoom and the
// smallest window.
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <deque>
#include <fstream>
#include <iterator>
#include <memory>

#include "parameters/Preset.h"
#include "parameters/RenderRequest.h"
#include "synthesis/raster/Bmp.h"
#include "tests/ui/WidgetInput.h"
#include "ui/AdjustControl.h"
#include "ui/Application.h"
#include "ui/Main.h"
#include "ui/MapView.h"
#include "ui/NumberEdit.h"

namespace hillograph {
namespace {

// A user at the dialogs: a save dialog gets the typed names in turn, "Save" pressed after each,
// until one is accepted; an exhausted list cancels. Questions are answered from Answers ("No"
// when none is left).
class TUserDialogs : public TDialogs, public TSaveQuestions {
 public:
  QStringList Typed;
  std::deque<bool> Answers;
  QStringList Shown, Asked, Refused;

  std::optional<QString> SavePicture() override { return Save("SavePicture", PictureExt); }
  std::optional<QString> SavePreset() override { return Save("SavePreset", PresetExt); }
  std::optional<QString> OpenPreset() override { return Open("OpenPreset"); }
  std::optional<QString> OpenTownDB() override { return Open("OpenTownDB"); }
  std::optional<TColor> ChooseColor(TColor) override { return std::nullopt; }
  bool ConfirmReplace(const QString& FileName) override {
    Asked << FileName;
    const bool yes = !Answers.empty() && Answers.front();
    if (!Answers.empty()) Answers.pop_front();
    return yes;
  }
  void RefuseName(const QString& Message) override { Refused << Message; }

 private:
  std::optional<QString> Open(const QString& dialog) {
    Shown << dialog;
    if (Typed.isEmpty()) return std::nullopt;
    return Typed.takeFirst();
  }
  std::optional<QString> Save(const QString& dialog, const QString& ext) {
    Shown << dialog;
    while (!Typed.isEmpty()) {
      if (const auto name = AcceptSaveName(Typed.takeFirst(), ext, *this)) return name;
    }
    return std::nullopt;
  }
};

std::string FileBytes(const QString& path) {
  std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const QString& path, const std::string& bytes) {
  std::ofstream(QFile::encodeName(path).toStdString(), std::ios::binary) << bytes;
}

void Wheel(QWidget* widget, QPoint at, int angle, Qt::KeyboardModifiers modifiers = {}) {
  QWheelEvent event(at, widget->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, angle), Qt::NoButton,
                    modifiers, Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget, &event);
}

// The picture's pixel as the view must show it.
QRgb PicturePixel(const TPicture& picture, int x, int y) {
  const std::uint8_t* p = picture.ScanLine(y) + 3 * x;
  return qRgb(p[2], p[1], p[0]);
}

}  // namespace

class MainActionsTest : public QObject {
  Q_OBJECT

 private:
  TfrmMain* window_ = nullptr;
  TUserDialogs* dialogs_ = nullptr;
  QSignalSpy* renders_ = nullptr;
  QStringList errors_;
  std::unique_ptr<QTemporaryDir> dir_;  // a new one for each test

  QString Path(const QString& name) const { return dir_->filePath(name); }
  void SetSize(int width, int height) {
    window_->cbAutoRefresh->setChecked(false);
    window_->neWidth->SetValue(width);
    window_->neHeight->SetValue(height);
    window_->cbAutoRefresh->setChecked(true);
    renders_->clear();
  }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    errors_.clear();
    static_cast<TApplication*>(QApplication::instance())->ShowError =
        [this](const QString& message) { errors_ << message; };
    auto dialogs = std::make_unique<TUserDialogs>();
    dialogs_ = dialogs.get();
    window_ = new TfrmMain(std::move(dialogs));
    renders_ = new QSignalSpy(window_, &TfrmMain::Rendered);
    QVERIFY(ShowActive(*window_));
    SetSize(90, 70);
  }

  void cleanup() {
    delete renders_;
    delete window_;
  }

  void aSaveAsksAboutTheFileThatWillBeWritten_data() {
    QTest::addColumn<bool>("preset");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("replace");
    QTest::newRow("preset, no") << true << "p1"
                                << "p1.hpf" << false;
    QTest::newRow("preset, yes") << true << "p1"
                                 << "p1.hpf" << true;
    QTest::newRow("picture, no") << false << "map"
                                 << "map.bmp" << false;
    QTest::newRow("PNG, yes") << false << "map.PNG"
                              << "map.PNG" << true;
  }
  void aSaveAsksAboutTheFileThatWillBeWritten() {
    QFETCH(bool, preset);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(bool, replace);
    WriteFile(Path(written), "old");
    dialogs_->Typed = {Path(typed)};
    dialogs_->Answers = {replace};
    QTest::mouseClick(preset ? window_->Button5 : window_->Button3, Qt::LeftButton);
    QCOMPARE(dialogs_->Asked, QStringList{Path(written)});
    QCOMPARE(FileBytes(Path(written)) == "old", !replace);
    QCOMPARE(errors_, QStringList());
  }

  void aFolderThatDoesNotExistIsRefusedUntilCorrected() {
    dialogs_->Typed = {Path("missing/p"), Path("p")};
    QTest::mouseClick(window_->Button5, Qt::LeftButton);
    QCOMPARE(dialogs_->Refused.size(), 1);
    QVERIFY(dialogs_->Refused.front().contains(Path("missing")));
    QCOMPARE(ReadPreset(QFile::encodeName(Path("p.hpf")).toStdString()), window_->Parameters());
  }

  void aFileThatIsNoPresetChangesNothing_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("isPreset");
    QTest::newRow("garbage") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("one key") << QByteArray("[params]\nWidth=77\n") << true;
  }
  void aFileThatIsNoPresetChangesNothing() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, isPreset);
    const QString name = Path(QStringLiteral("Vorlage äöü.hpf"));  // shown as it was chosen
    WriteFile(name, bytes.toStdString());
    const TMapParameters before = window_->Parameters();
    dialogs_->Typed = {name};
    QTest::mouseClick(window_->Button6, Qt::LeftButton);
    if (!isPreset) {
      QCOMPARE(errors_, QStringList{name + " is not a preset: it holds none of its keys."});
      QVERIFY(window_->Parameters() == before);
      QCOMPARE(renders_->count(), 0);
      return;
    }
    QCOMPARE(errors_, QStringList());
    QCOMPARE(window_->neWidth->Value(), 77.0);
    QCOMPARE(window_->neHeight->Value(), 100.0);  // the load default
    QCOMPARE(renders_->count(), 1);
  }

  void aPngHoldsThePixelsOfTheBmp() {
    dialogs_->Typed = {Path("map"), Path("map.png")};
    QTest::mouseClick(window_->Button3, Qt::LeftButton);
    QTest::mouseClick(window_->Button3, Qt::LeftButton);
    QCOMPARE(FileBytes(Path("map.png")).substr(1, 3), std::string("PNG"));
    const QImage bmp(Path("map.bmp"));
    QCOMPARE(bmp.size(), QSize(90, 70));
    QCOMPARE(QImage(Path("map.png")).convertToFormat(QImage::Format_RGB32),
             bmp.convertToFormat(QImage::Format_RGB32));
  }

  void namesOutsideAsciiSaveLoadAndReachTheCore() {
    const QString preset = Path(QStringLiteral("Küste ñ 海.hpf"));
    const QString towns = Path(QStringLiteral("Städte ø.txt"));
    WriteFile(towns, "Zürich\nÅrhus\n");
    window_->neTownAmount->SetValue(200);
    window_->eTownDB->setText(towns);
    QCOMPARE(window_->eTownDB->toolTip(), towns);
    dialogs_->Typed = {preset, preset};
    QTest::mouseClick(window_->Button5, Qt::LeftButton);
    window_->eTownDB->clear();
    QTest::mouseClick(window_->Button6, Qt::LeftButton);
    QCOMPARE(window_->eTownDB->text(), towns);
    // The names were read: the map differs from one without them.
    TMapParameters without = window_->Parameters();
    without.TownDB.clear();
    TPicture plain;
    RenderMapParameters(plain, without);
    QVERIFY(EncodeBmp(window_->iMap->Picture()) != EncodeBmp(plain));
    QCOMPARE(errors_, QStringList());
  }

  void shortcutsDoWhatTheirButtonsDo_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("renders");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("F5") << int(Qt::Key_F5) << 0 << 1 << "";
    QTest::newRow("Alt+R") << int(Qt::Key_R) << int(Qt::AltModifier) << 1 << "";
    QTest::newRow("Ctrl+O") << int(Qt::Key_O) << int(Qt::ControlModifier) << 0 << "OpenPreset";
    QTest::newRow("Ctrl+S") << int(Qt::Key_S) << int(Qt::ControlModifier) << 0 << "SavePicture";
    QTest::newRow("Ctrl+Shift+S") << int(Qt::Key_S) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                  << 0 << "SavePreset";
    QTest::newRow("Alt+S") << int(Qt::Key_S) << int(Qt::AltModifier) << 0 << "SavePreset";
  }
  void shortcutsDoWhatTheirButtonsDo() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, renders);
    QFETCH(QString, dialog);
    QTest::keyClick(window_, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    // A mnemonic clicks its button after a short delay.
    QTRY_COMPARE(dialogs_->Shown, dialog.isEmpty() ? QStringList() : QStringList{dialog});
    QTRY_COMPARE(renders_->count(), renders);
  }

  void ctrlCCopiesThePicture() {
    window_->Button1->setFocus();
    QTest::keyClick(window_, Qt::Key_C, Qt::ControlModifier);
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), QSize(90, 70));
    QCOMPARE(copied.pixel(23, 45), PicturePixel(window_->iMap->Picture(), 23, 45));
  }

  // A key press or a wheel notch is a drag of one pixel: the same value, the same number of
  // changes, at a fraction and at a bound.
  void stepsEqualOnePixelDrags_data() {
    QTest::addColumn<double>("increment");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("steps");
    QTest::newRow("tenths up") << 0.1 << "0.2" << 7;
    QTest::newRow("to the top") << 5.0 << "247" << 3;
    QTest::newRow("below the bottom") << 1.0 << "2" << -4;
  }
  void stepsEqualOnePixelDrags() {
    QFETCH(double, increment);
    QFETCH(QString, start);
    QFETCH(int, steps);
    QWidget page;
    auto* label = new TAdjustLabel("Amount of water:", &page);
    auto* edit = new TNumberEdit(&page);
    label->setGeometry(10, 10, 100, 20);
    edit->setGeometry(120, 10, 80, 21);
    edit->SetMax(255);
    label->SetIncrement(increment);
    label->SetAttachedEdit(edit);
    QVERIFY(ShowActive(page));
    QSignalSpy changes(edit, &TNumberEdit::Changed);
    const auto run = [&](auto step) {
      edit->setText(start);
      changes.clear();
      for (int i = 0; i < std::abs(steps); ++i)
        step(steps > 0 ? 1 : -1);
      return std::make_pair(edit->text(), changes.count());
    };
    TPointer pointer;
    const auto dragged = run([&](int dx) {
      pointer.Press(label, {20, 5});
      pointer.Move(label, {20 + dx, 5});
      pointer.Release(label, {20 + dx, 5});
    });
    QCOMPARE(run([&](int dx) { QTest::keyClick(edit, dx > 0 ? Qt::Key_Up : Qt::Key_Down); }),
             dragged);
    QCOMPARE(run([&](int dx) { Wheel(edit, {5, 5}, 120 * dx); }), dragged);
    QCOMPARE(run([&](int dx) {
               Wheel(label, {5, 5}, 60 * dx);  // two half notches make one
               Wheel(label, {5, 5}, 60 * dx);
             }),
             dragged);
  }

  void fitAndActualSizeShowTheRightPixels() {
    SetSize(100, 40);
    TMapView* view = window_->iMap;
    // Fit: the small map fills the area one way, pixels as sharp squares.
    QTest::keyClick(window_, Qt::Key_0, Qt::ControlModifier);
    const QSize area = window_->ScrollBox1->maximumViewportSize();
    QVERIFY(view->width() <= area.width() && view->height() <= area.height());
    QVERIFY(area.width() - view->width() <= 1 || area.height() - view->height() <= 1);
    QVERIFY(view->Zoom() > 1);
    const QImage fitted = view->grab().toImage();
    for (const QPoint p : {QPoint(0, 0), QPoint(31, 7), QPoint(99, 39), QPoint(12, 25)}) {
      const QPoint centre((p.x() + 0.5) * view->Zoom(), (p.y() + 0.5) * view->Zoom());
      QCOMPARE(fitted.pixel(centre), PicturePixel(view->Picture(), p.x(), p.y()));
    }
    // Actual size: one pixel per pixel, everywhere.
    QTest::keyClick(window_, Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(view->size(), QSize(100, 40));
    const QImage actual = view->grab().toImage();
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 100; ++x)
        QCOMPARE(actual.pixel(x, y), PicturePixel(view->Picture(), x, y));
    }
    QCOMPARE(renders_->count(), 0);
  }

  void ctrlWheelZoomsAroundThePointerWithinItsRange() {
    SetSize(1000, 1000);
    TMapView* view = window_->iMap;
    QWidget* viewport = window_->ScrollBox1->viewport();
    window_->ScrollBox1->horizontalScrollBar()->setValue(300);
    window_->ScrollBox1->verticalScrollBar()->setValue(400);
    const QPoint at(50, 30);  // in the viewport
    const QPointF mapPoint = QPointF(view->mapFrom(viewport, at)) / view->Zoom();
    Wheel(view, view->mapFrom(viewport, at), 120, Qt::ControlModifier);
    QCOMPARE(view->Zoom(), WheelZoomStep);
    const QPointF after = QPointF(view->mapFrom(viewport, at)) / view->Zoom();
    QVERIFY(std::abs(after.x() - mapPoint.x()) < 1 && std::abs(after.y() - mapPoint.y()) < 1);
    Wheel(view, {0, 0}, 120 * 30, Qt::ControlModifier);
    QCOMPARE(view->Zoom(), MaxZoom);
    Wheel(view, {0, 0}, -120 * 30, Qt::ControlModifier);
    QCOMPARE(view->Zoom(), MinZoom);
    QCOMPARE(view->size(), QSize(100, 100));
    Wheel(view, {0, 0}, 120);  // without Ctrl the area scrolls, the zoom stays
    QCOMPARE(view->Zoom(), MinZoom);
  }

  void theSmallestWindowShowsEveryButtonAndThePages() {
    window_->resize(100, 100);
    const QWidget* shown[] = {window_->PageControl1, window_->Button1,      window_->Button2,
                              window_->Button3,      window_->Button4,      window_->Button5,
                              window_->Button6,      window_->cbAutoRefresh};
    for (const QWidget* widget : shown) {
      const QRect inWindow(widget->mapTo(window_, QPoint(0, 0)), widget->size());
      QVERIFY2(window_->rect().contains(inWindow), qPrintable(widget->objectName()));
    }
  }
};

}  // namespace hillograph

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  hillograph::TApplication app(argc, argv);
  hillograph::MainActionsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "MainActionsTest.moc"
