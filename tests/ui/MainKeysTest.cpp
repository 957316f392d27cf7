// The window without a mouse drag: shortcuts, steps of the adjust labels by key and wheel, zoom
// and the smallest size the window takes.
#include <QCheckBox>
#include <QClipboard>
#include <QImage>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <cmath>

#include "tests/ui/WidgetInput.h"
#include "ui/AdjustControl.h"
#include "ui/Application.h"
#include "ui/Main.h"
#include "ui/MapView.h"
#include "ui/NumberEdit.h"

namespace hillograph {
namespace {

// Counts the dialogs shown and cancels each.
class TCancelledDialogs : public TDialogs {
 public:
  QStringList Shown;
  std::optional<QString> SavePicture() override { return Cancel("SavePicture"); }
  std::optional<QString> OpenPreset() override { return Cancel("OpenPreset"); }
  std::optional<QString> SavePreset() override { return Cancel("SavePreset"); }
  std::optional<QString> OpenTownDB() override { return Cancel("OpenTownDB"); }
  std::optional<TColor> ChooseColor(TColor) override { return std::nullopt; }

 private:
  std::optional<QString> Cancel(const QString& dialog) {
    Shown << dialog;
    return std::nullopt;
  }
};

void Wheel(QWidget* widget, QPoint at, int angle, Qt::KeyboardModifiers modifiers = {}) {
  QWheelEvent event(at, widget->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, angle), Qt::NoButton,
                    modifiers, Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget, &event);
}

// The picture's pixel as the view should show it.
QRgb PicturePixel(const TPicture& picture, int x, int y) {
  const std::uint8_t* p = picture.ScanLine(y) + 3 * x;
  return qRgb(p[2], p[1], p[0]);
}

}  // namespace

class MainKeysTest : public QObject {
  Q_OBJECT

 private:
  TfrmMain* window_ = nullptr;
  TCancelledDialogs* dialogs_ = nullptr;
  QSignalSpy* renders_ = nullptr;

  QImage ViewPixels() const { return window_->iMap->grab().toImage(); }

 private slots:
  void init() {
    auto dialogs = std::make_unique<TCancelledDialogs>();
    dialogs_ = dialogs.get();
    window_ = new TfrmMain(std::move(dialogs));
    renders_ = new QSignalSpy(window_, &TfrmMain::Rendered);
    QVERIFY(ShowActive(*window_));
  }

  void cleanup() {
    delete renders_;
    delete window_;
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
    QTRY_COMPARE(renders_->count(), 1 + renders);  // a mnemonic clicks after a short delay
    QTRY_COMPARE(dialogs_->Shown, dialog.isEmpty() ? QStringList() : QStringList{dialog});
  }

  void ctrlCCopiesThePicture() {
    window_->Button1->setFocus();
    QTest::keyClick(window_, Qt::Key_C, Qt::ControlModifier);
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), QSize(640, 480));
    QCOMPARE(copied.pixel(123, 45), PicturePixel(window_->iMap->Picture(), 123, 45));
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
    const auto keyed =
        run([&](int dx) { QTest::keyClick(edit, dx > 0 ? Qt::Key_Up : Qt::Key_Down); });
    const auto wheeledOnField = run([&](int dx) { Wheel(edit, {5, 5}, 120 * dx); });
    const auto wheeledOnLabel = run([&](int dx) {
      Wheel(label, {5, 5}, 60 * dx);  // two half notches make one
      Wheel(label, {5, 5}, 60 * dx);
    });
    QCOMPARE(keyed, dragged);
    QCOMPARE(wheeledOnField, dragged);
    QCOMPARE(wheeledOnLabel, dragged);
  }

  void zoomChangesTheViewOnly() {
    window_->cbAutoRefresh->setChecked(false);
    window_->neWidth->SetValue(100);
    window_->neHeight->SetValue(40);
    window_->Button1->click();
    const int renders = renders_->count();
    TMapView* view = window_->iMap;
    // Fit: the small map fills the area's height, pixels as sharp squares.
    QTest::keyClick(window_, Qt::Key_0, Qt::ControlModifier);
    const QSize area = window_->ScrollBox1->maximumViewportSize();
    QVERIFY(view->width() <= area.width() && view->height() <= area.height());
    QVERIFY(area.width() - view->width() <= 1 || area.height() - view->height() <= 1);
    QVERIFY(view->Zoom() > 1);
    const QImage fitted = ViewPixels();
    for (const QPoint p : {QPoint(0, 0), QPoint(31, 7), QPoint(99, 39), QPoint(12, 25)}) {
      const QPoint centre((p.x() + 0.5) * view->Zoom(), (p.y() + 0.5) * view->Zoom());
      QCOMPARE(fitted.pixel(centre), PicturePixel(view->Picture(), p.x(), p.y()));
    }
    // Actual size: one pixel per pixel, everywhere.
    QTest::keyClick(window_, Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(view->size(), QSize(100, 40));
    const QImage actual = ViewPixels();
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 100; ++x)
        QCOMPARE(actual.pixel(x, y), PicturePixel(view->Picture(), x, y));
    }
    QCOMPARE(renders_->count(), renders);
  }

  void ctrlWheelZoomsAroundThePointerWithinItsRange() {
    window_->neWidth->SetValue(1000);
    window_->neHeight->SetValue(1000);
    TMapView* view = window_->iMap;
    QScrollBar* across = window_->ScrollBox1->horizontalScrollBar();
    QScrollBar* down = window_->ScrollBox1->verticalScrollBar();
    across->setValue(300);
    down->setValue(400);
    const QPoint at(50, 30);  // in the viewport
    const QPoint onView = view->mapFrom(window_->ScrollBox1->viewport(), at);
    const QPointF mapPoint = QPointF(onView) / view->Zoom();
    Wheel(view, onView, 120, Qt::ControlModifier);
    QCOMPARE(view->Zoom(), WheelZoomStep);
    const QPointF after =
        QPointF(view->mapFrom(window_->ScrollBox1->viewport(), at)) / view->Zoom();
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
  hillograph::MainKeysTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "MainKeysTest.moc"
