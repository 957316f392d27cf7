#include "ui/AdjustControl.h"

#include <QSignalSpy>
#include <QTest>

#include "tests/ui/WidgetInput.h"

namespace hillograph {
namespace {

constexpr QPoint PressPoint(20, 10);

// A label in front of its field, in an active window where the field has the focus.
struct TDragWindow {
  QWidget window;
  TAdjustLabel* label = new TAdjustLabel("Amount of water:", &window);
  TNumberEdit* edit = new TNumberEdit(&window);
  TPointer pointer;

  explicit TDragWindow(const QString& start) {
    window.resize(300, 60);
    label->setGeometry(10, 10, 100, 20);
    edit->setGeometry(120, 10, 80, 21);
    edit->setText(start);
    label->SetAttachedEdit(edit);
    if (ShowActive(window)) edit->setFocus();
  }
  void MoveTo(int x) { pointer.Move(label, QPoint(x, PressPoint.y())); }
};

}  // namespace

class TAdjustLabelTest : public QObject {
  Q_OBJECT

 private slots:
  void DragsChangeTheFieldByTheTravel() {
    const int y = PressPoint.y();
    const struct {
      const char* start;
      double max, increment;  // with Min 0
      QList<QPoint> moves;    // in the label's coordinates
      const char* end;
      int changes;
    } cases[] = {
        {"30", 0, 1, {{21, y}, {22, y}, {30, y}}, "40", 3},
        {"0", 50, 1, {{15, y}, {10, y}, {13, y}}, "3", 1},    // past Min and back
        {"48", 50, 1, {{25, y}, {30, y}, {28, y}}, "48", 2},  // past Max and back
        {"30", 0, 1, {{20, 40}, {20, -30}, {20, y}}, "30", 0},
        {"10", 0, 0.5, {{27, y}}, "13.5", 1},
        {"30", 0, 1, {{500, y}, {-200, 300}}, "-190", 2},  // out of the window
        {"007", 0, 1, {{20, 0}}, "7", 1},  // no travel still writes the text in normal form
    };
    for (const auto& c : cases) {
      TDragWindow drag(c.start);
      drag.edit->SetMax(c.max);
      drag.label->SetIncrement(c.increment);
      const QSignalSpy changed(drag.edit, &TNumberEdit::Changed);
      drag.pointer.Press(drag.label, PressPoint);
      for (const QPoint& move : c.moves)
        drag.pointer.Move(drag.label, move);
      QCOMPARE(drag.edit->text(), c.end);
      QCOMPARE(changed.count(), c.changes);
      drag.pointer.Release(drag.label, c.moves.last());
      drag.MoveTo(90);  // the release ended the drag
      QCOMPARE(drag.edit->text(), c.end);
      QVERIFY(drag.edit->hasFocus());  // the label never takes the focus
    }
  }

  void OnlyTheLeftButtonDragsAnEnabledField() {
    TDragWindow drag("30");
    drag.pointer.Press(drag.label, PressPoint, Qt::RightButton);
    drag.MoveTo(35);
    drag.pointer.Release(drag.label, {35, 10}, Qt::RightButton);
    QCOMPARE(drag.edit->text(), "30");
    drag.pointer.Press(drag.label, PressPoint);
    drag.edit->setEnabled(false);
    drag.MoveTo(25);
    drag.edit->setEnabled(true);
    drag.MoveTo(28);  // only the travel since the previous move counts
    QCOMPARE(drag.edit->text(), "33");
    drag.pointer.Press(drag.label, {28, 10}, Qt::RightButton);  // a second button starts nothing
    drag.MoveTo(30);
    drag.pointer.Release(drag.label, {30, 10}, Qt::RightButton);  // but ends the drag
    drag.MoveTo(40);
    QCOMPARE(drag.edit->text(), "35");
    drag.pointer.Press(drag.label, {40, 10});
    delete drag.edit;  // the label does not own it and must not keep a dangling reference
    QCOMPARE(drag.label->AttachedEdit(), nullptr);
    drag.MoveTo(50);
    drag.pointer.Release(drag.label, {50, 10});
  }

  // A key press or a wheel notch is a drag of one pixel: the same value, the same number of
  // changes, at a fraction and at a bound.
  void StepsEqualOnePixelDrags_data() {
    QTest::addColumn<double>("increment");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("steps");
    QTest::newRow("tenths up") << 0.1 << "0.2" << 7;
    QTest::newRow("to the top") << 5.0 << "247" << 3;
    QTest::newRow("below the bottom") << 1.0 << "2" << -4;
  }
  void StepsEqualOnePixelDrags() {
    QFETCH(double, increment);
    QFETCH(QString, start);
    QFETCH(int, steps);
    TDragWindow drag(start);
    drag.edit->SetMax(255);
    drag.label->SetIncrement(increment);
    QSignalSpy changes(drag.edit, &TNumberEdit::Changed);
    const int dx = steps > 0 ? 1 : -1;
    const auto run = [&](auto step) {
      drag.edit->setText(start);
      changes.clear();
      for (int i = 0; i < std::abs(steps); ++i)
        step();
      return std::make_pair(drag.edit->text(), changes.count());
    };
    const auto dragged = run([&] {
      drag.pointer.Press(drag.label, PressPoint);
      drag.MoveTo(PressPoint.x() + dx);
      drag.pointer.Release(drag.label, {PressPoint.x() + dx, PressPoint.y()});
    });
    QCOMPARE(run([&] { QTest::keyClick(drag.edit, dx > 0 ? Qt::Key_Up : Qt::Key_Down); }),
             dragged);
    QCOMPARE(run([&] { Wheel(drag.edit, {5, 5}, 120 * dx); }), dragged);
    QCOMPARE(run([&] {
               Wheel(drag.label, {5, 5}, 60 * dx);  // two half notches make one
               Wheel(drag.label, {5, 5}, 60 * dx);
             }),
             dragged);
  }
};

}  // namespace hillograph

QTEST_MAIN(hillograph::TAdjustLabelTest)
#include "AdjustControlTest.moc"
