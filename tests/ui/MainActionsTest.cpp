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
#include <QTest>
#include <cmath>
#include <memory>

#include "parameters/Preset.h"
#include "parameters/RenderRequest.h"
#include "synthesis/raster/Bmp.h"
#include "tests/TempFolder.h"
#include "tests/ui/WidgetInput.h"
#include "ui/AdjustControl.h"
#include "ui/Application.h"
#include "ui/Main.h"
#include "ui/MapView.h"
#include "ui/NumberEdit.h"

namespace hillograph {
namespace {

// A user at the dialogs: a save dialog gets the typed names in turn, "Save" pressed after each,
// until one is accepted; an exhausted list cancels. A replace question gets Replace.
class TUserDialogs : public TDialogs, public TSaveQuestions {
 public:
  QStringList Typed;
  bool Replace = false;
  QStringList Shown, Asked, Refused;

  std::optional<QString> SavePicture() override { return Save("SavePicture", PictureExt); }
  std::optional<QString> SavePreset() override { return Save("SavePreset", PresetExt); }
  std::optional<QString> OpenPreset() override { return Open("OpenPreset"); }
  std::optional<QString> OpenTownDB() override { return Open("OpenTownDB"); }
  std::optional<TColor> ChooseColor(TColor) override { return std::nullopt; }
  bool ConfirmReplace(const QString& FileName) override {
    Asked << FileName;
    return Replace;
  }
  void RefuseName(const QString& Message) override { Refused << Message; }

 private:
  std::optional<QString> Open(const QString& dialog) {
    Shown << dialog;
    return Typed.isEmpty() ? std::nullopt : std::optional(Typed.takeFirst());
  }
  std::optional<QString> Save(const QString& dialog, const QString& ext) {
    Shown << dialog;
    while (!Typed.isEmpty()) {
      if (const auto name = AcceptSaveName(Typed.takeFirst(), ext, *this)) return name;
    }
    return std::nullopt;
  }
};

void Wheel(QWidget* widget, QPoint at, int angle, Qt::KeyboardModifiers modifiers = {}) {
  QWheelEvent event(at, widget->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, angle), Qt::NoButton,
                    modifiers, Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget, &event);
}

// The picture as the view must show it.
QImage Shown(const TPicture& picture) {
  return QImage::fromData(QByteArray::fromStdString(EncodeBmp(picture)))
      .convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class MainActionsTest : public QObject {
  Q_OBJECT

 private:
  TfrmMain* window_ = nullptr;
  TUserDialogs* dialogs_ = nullptr;
  QSignalSpy* renders_ = nullptr;
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
    window_ = new TfrmMain(std::move(dialogs));
    renders_ = new QSignalSpy(window_, &TfrmMain::Rendered);
    QVERIFY(ShowActive(*window_));
    SetSize(90, 70);
  }

  void cleanup() {
    delete renders_;
    delete window_;
  }

  // Each typed name is tried in turn; a folder that does not exist is refused until corrected.
  void aSaveAsksAboutTheFileThatWillBeWritten_data() {
    QTest::addColumn<bool>("preset");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("replace");
    QTest::newRow("preset, no") << true << QStringList{"p1"} << "p1.hpf" << false;
    QTest::newRow("missing folder, then preset, yes")
        << true << QStringList{"missing/p1", "p1"} << "p1.hpf" << true;
    QTest::newRow("PNG, yes") << false << QStringList{"map.PNG"} << "map.PNG" << true;
  }
  void aSaveAsksAboutTheFileThatWillBeWritten() {
    QFETCH(bool, preset);
    QFETCH(QStringList, typed);
    QFETCH(QString, written);
    QFETCH(bool, replace);
    Write(written, "old");
    for (const QString& name : typed)
      dialogs_->Typed << Path(name);
    dialogs_->Replace = replace;
    QTest::mouseClick(preset ? window_->Button5 : window_->Button3, Qt::LeftButton);
    QCOMPARE(dialogs_->Asked, QStringList{Path(written)});
    QCOMPARE(dialogs_->Refused.filter(Path("missing")).size(), typed.size() - 1);
    QCOMPARE(errors_, QStringList());
    const std::string bytes = dir_->Read(written.toStdString());
    if (!replace) {
      QCOMPARE(bytes, std::string("old"));
    } else if (preset) {
      QCOMPARE(ReadPreset(QFile::encodeName(Path(written)).toStdString()), window_->Parameters());
    } else {  // a PNG whatever the case of its extension, with the pixels of the map
      QCOMPARE(bytes.substr(1, 3), std::string("PNG"));
      QCOMPARE(QImage(Path(written)).convertToFormat(QImage::Format_RGB32),
               Shown(window_->iMap->Picture()));
    }
  }

  void aFileThatIsNoPresetChangesNothing() {
    // Named in the message as it was chosen.
    const QString name = Write(QStringLiteral("Vorlage äöü.hpf"), "\x89PNG\r\n\x1a\n");
    const TMapParameters before = window_->Parameters();
    dialogs_->Typed = {name};
    QTest::mouseClick(window_->Button6, Qt::LeftButton);
    QCOMPARE(errors_, QStringList{name + " is not a preset: it holds none of its keys."});
    QVERIFY(window_->Parameters() == before);
    QCOMPARE(renders_->count(), 0);
  }

  void namesOutsideAsciiSaveLoadAndReachTheCore() {
    const QString preset = Path(QStringLiteral("Küste ñ 海.hpf"));
    const QString towns = Write(QStringLiteral("Städte ø.txt"), "Zürich\nÅrhus\n");
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
    QTest::addColumn<bool>("copies");
    const int ctrl = Qt::ControlModifier, alt = Qt::AltModifier;
    QTest::newRow("F5") << int(Qt::Key_F5) << 0 << 1 << "" << false;
    QTest::newRow("Alt+R") << int(Qt::Key_R) << alt << 1 << "" << false;
    QTest::newRow("Ctrl+O") << int(Qt::Key_O) << ctrl << 0 << "OpenPreset" << false;
    QTest::newRow("Ctrl+S") << int(Qt::Key_S) << ctrl << 0 << "SavePicture" << false;
    QTest::newRow("Ctrl+Shift+S") << int(Qt::Key_S) << int(ctrl | Qt::ShiftModifier) << 0
                                  << "SavePreset" << false;
    QTest::newRow("Alt+S") << int(Qt::Key_S) << alt << 0 << "SavePreset" << false;
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << ctrl << 0 << "" << true;
  }
  void shortcutsDoWhatTheirButtonsDo() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, renders);
    QFETCH(QString, dialog);
    QFETCH(bool, copies);
    QGuiApplication::clipboard()->clear();
    window_->Button1->setFocus();  // a text field with the focus keeps Ctrl+C
    QTest::keyClick(window_, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    // A mnemonic clicks its button after a short delay.
    QTRY_COMPARE(dialogs_->Shown, dialog.isEmpty() ? QStringList() : QStringList{dialog});
    QTRY_COMPARE(renders_->count(), renders);
    QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32) ==
                 Shown(window_->iMap->Picture()),
             copies);
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
    const int dx = steps > 0 ? 1 : -1;
    const auto run = [&](auto step) {
      edit->setText(start);
      changes.clear();
      for (int i = 0; i < std::abs(steps); ++i)
        step();
      return std::make_pair(edit->text(), changes.count());
    };
    TPointer pointer;
    const auto dragged = run([&] {
      pointer.Press(label, {20, 5});
      pointer.Move(label, {20 + dx, 5});
      pointer.Release(label, {20 + dx, 5});
    });
    QCOMPARE(run([&] { QTest::keyClick(edit, dx > 0 ? Qt::Key_Up : Qt::Key_Down); }), dragged);
    QCOMPARE(run([&] { Wheel(edit, {5, 5}, 120 * dx); }), dragged);
    QCOMPARE(run([&] {
               Wheel(label, {5, 5}, 60 * dx);  // two half notches make one
               Wheel(label, {5, 5}, 60 * dx);
             }),
             dragged);
  }

  void fitAndActualSizeShowTheRightPixels() {
    SetSize(100, 40);
    TMapView* view = window_->iMap;
    const QImage shown = Shown(view->Picture());
    // Fit: the small map fills the area one way, pixels as sharp squares.
    QTest::keyClick(window_, Qt::Key_0, Qt::ControlModifier);
    const QSize area = window_->ScrollBox1->maximumViewportSize();
    QVERIFY(view->width() <= area.width() && view->height() <= area.height());
    QVERIFY(area.width() - view->width() <= 1 || area.height() - view->height() <= 1);
    const QImage fitted = view->grab().toImage();
    for (const QPoint p : {QPoint(0, 0), QPoint(31, 7), QPoint(99, 39), QPoint(12, 25)}) {
      const QPoint centre((p.x() + 0.5) * view->Zoom(), (p.y() + 0.5) * view->Zoom());
      QCOMPARE(fitted.pixel(centre), shown.pixel(p));
    }
    // Actual size: one pixel per pixel, everywhere.
    QTest::keyClick(window_, Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(view->grab().toImage().convertToFormat(QImage::Format_RGB32), shown);
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
    for (const QWidget* widget : shown)
      QVERIFY2(window_->rect().contains(QRect(widget->mapTo(window_, QPoint()), widget->size())),
               qPrintable(widget->objectName()));
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
