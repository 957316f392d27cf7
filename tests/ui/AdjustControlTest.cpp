#include "ui/AdjustControl.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "tests/ui/WidgetInput.h"
#include "ui/AdjustRes.h"

namespace hillograph {
namespace {

constexpr QPoint PressPoint(20, 10);

// A label in front of its field, in an active window where the field has the focus.
struct TDragWindow {
  QWidget window;
  TAdjustLabel* label = new TAdjustLabel("Amount of water:", &window);
  TNumberEdit* edit = new TNumberEdit(&window);
  TPointer pointer;

  TDragWindow() {
    window.resize(300, 60);
    label->setGeometry(10, 10, 100, 20);
    edit->setGeometry(120, 10, 80, 21);
    label->SetAttachedEdit(edit);
    if (ShowActive(window)) edit->setFocus();
  }
  void MoveTo(int x) { pointer.Move(label, QPoint(x, PressPoint.y())); }
};

}  // namespace

class TAdjustLabelTest : public QObject {
  Q_OBJECT

 private slots:
  void Drags_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("increment");
    QTest::addColumn<QList<QPoint>>("moves");  // in the label's coordinates
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("changes");
    const int y = PressPoint.y();
    QList<QPoint> oneByOne;
    for (int x = 21; x <= 30; ++x)
      oneByOne << QPoint(x, y);
    QTest::newRow("10 pixels in one move")
        << "30" << 0.0 << 0.0 << 1.0 << QList<QPoint>{{30, y}} << "40" << 1;
    QTest::newRow("10 pixels in ten moves") << "30" << 0.0 << 0.0 << 1.0 << oneByOne << "40" << 10;
    QTest::newRow("past min and back")
        << "0" << 0.0 << 50.0 << 1.0 << QList<QPoint>{{15, y}, {10, y}, {13, y}} << "3" << 1;
    QTest::newRow("past max and back")
        << "48" << 0.0 << 50.0 << 1.0 << QList<QPoint>{{25, y}, {30, y}, {28, y}} << "48" << 2;
    QTest::newRow("purely vertical")
        << "30" << 0.0 << 0.0 << 1.0 << QList<QPoint>{{20, 40}, {20, -30}, {20, y}} << "30" << 0;
    QTest::newRow("fraction carried")
        << "2.5" << 0.0 << 0.0 << 1.0 << QList<QPoint>{{21, y}, {22, 0}} << "4.5" << 2;
    QTest::newRow("half increments")
        << "10" << 0.0 << 0.0 << 0.5 << QList<QPoint>{{27, y}} << "13.5" << 1;
    QTest::newRow("out of the label")
        << "30" << 0.0 << 0.0 << 1.0 << QList<QPoint>{{-40, y}, {150, y}} << "160" << 2;
    QTest::newRow("out of the window")
        << "30" << 0.0 << 0.0 << 1.0 << QList<QPoint>{{500, y}, {-200, 300}} << "-190" << 2;
    QTest::newRow("normal form without travel")
        << "007" << 0.0 << 0.0 << 1.0 << QList<QPoint>{{20, 0}} << "7" << 1;
  }
  void Drags() {
    QFETCH(QString, start);
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, increment);
    QFETCH(QList<QPoint>, moves);
    QFETCH(QString, end);
    QFETCH(int, changes);
    TDragWindow drag;
    drag.edit->setText(start);
    drag.edit->SetMin(min);
    drag.edit->SetMax(max);
    drag.label->SetIncrement(increment);
    const QSignalSpy changed(drag.edit, &TNumberEdit::Changed);

    drag.pointer.Press(drag.label, PressPoint);
    for (const QPoint& move : moves)
      drag.pointer.Move(drag.label, move);
    QCOMPARE(drag.edit->text(), end);
    QCOMPARE(changed.count(), changes);

    // The release ends the drag: later moves change nothing.
    drag.pointer.Release(drag.label, moves.last());
    drag.MoveTo(90);
    QCOMPARE(drag.edit->text(), end);
  }

  void AnyReleaseEndsTheDrag() {
    TDragWindow drag;
    drag.edit->setText("30");
    drag.pointer.Press(drag.label, PressPoint, Qt::RightButton);  // other buttons do not drag
    drag.MoveTo(35);
    drag.pointer.Release(drag.label, {35, 10}, Qt::RightButton);
    QCOMPARE(drag.edit->text(), "30");
    drag.pointer.Press(drag.label, PressPoint);
    drag.MoveTo(25);
    drag.pointer.Press(drag.label, {25, 10}, Qt::RightButton);
    drag.MoveTo(27);
    QCOMPARE(drag.edit->text(), "37");  // a second button starts nothing
    drag.pointer.Release(drag.label, {27, 10}, Qt::RightButton);
    drag.MoveTo(40);  // the left button is still held
    QCOMPARE(drag.edit->text(), "37");
    drag.pointer.Release(drag.label, {40, 10});
  }

  void DisabledFieldStillFollowsThePointer() {
    TDragWindow drag;
    drag.edit->setText("30");
    drag.pointer.Press(drag.label, PressPoint);
    drag.edit->setEnabled(false);
    drag.MoveTo(30);
    QCOMPARE(drag.edit->text(), "30");
    drag.edit->setEnabled(true);
    drag.MoveTo(33);  // only the travel since the previous move counts
    QCOMPARE(drag.edit->text(), "33");
    drag.pointer.Release(drag.label, {33, 10});
  }

  void WithoutAFieldNothingHappens() {
    TDragWindow drag;
    drag.pointer.Press(drag.label, PressPoint);
    drag.MoveTo(25);
    delete drag.edit;  // the label does not own it and must not keep a dangling reference
    QCOMPARE(drag.label->AttachedEdit(), nullptr);
    drag.MoveTo(30);
    drag.pointer.Release(drag.label, {30, 10});
  }

  void NeverTakesTheFocus() {
    TDragWindow drag;
    QVERIFY(drag.edit->hasFocus());
    drag.edit->setText("30");
    drag.pointer.Press(drag.label, PressPoint);
    QVERIFY(drag.edit->hasFocus());
    drag.MoveTo(32);
    drag.pointer.Release(drag.label, {32, 10});
    QCOMPARE(drag.edit->text(), "42");
    QVERIFY(drag.edit->hasFocus());
    QCOMPARE(QApplication::focusWidget(), drag.edit);
  }

  void ShowsTheAdjustPointer() {
    QWidget window;
    const TAdjustLabel adjust(&window);
    const QLabel plain(&window);
    QCOMPARE(adjust.cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(adjust.cursor().hotSpot(), QPoint(AdjustCursorHotX, AdjustCursorHotY));
    QCOMPARE(adjust.cursor().pixmap().cacheKey(), crAdjust().pixmap().cacheKey());
    QCOMPARE(plain.cursor().shape(), Qt::ArrowCursor);
  }

  void AdjustPicture_data() {
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<QColor>("color");
    const QColor transparent(Qt::transparent);
    QTest::newRow("hotspot") << QPoint(9, 6) << QColor(Qt::black);
    QTest::newRow("left tip") << QPoint(0, 6) << QColor(Qt::white);
    QTest::newRow("right tip") << QPoint(19, 6) << QColor(Qt::white);
    QTest::newRow("beside the tip") << QPoint(20, 6) << transparent;
    QTest::newRow("top left") << QPoint(0, 0) << transparent;
    QTest::newRow("right bar") << QPoint(11, 11) << QColor(Qt::black);
    QTest::newRow("below the picture") << QPoint(9, 13) << transparent;
  }
  void AdjustPicture() {
    QFETCH(QPoint, pixel);
    QFETCH(QColor, color);
    const QImage picture = crAdjust().pixmap().toImage();
    QCOMPARE(picture.size(), QSize(AdjustCursorSize, AdjustCursorSize));
    QCOMPARE(picture.pixelColor(pixel), color);
  }
};

}  // namespace hillograph

QTEST_MAIN(hillograph::TAdjustLabelTest)
#include "AdjustControlTest.moc"
