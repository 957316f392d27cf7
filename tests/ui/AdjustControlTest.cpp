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
    QList<QPoint> oneByOne;
    for (int x = 21; x <= 30; ++x)
      oneByOne << QPoint(x, y);
    const struct {
      const char* start;
      double max, increment;  // with Min 0
      QList<QPoint> moves;    // in the label's coordinates
      const char* end;
      int changes;
    } cases[] = {
        {"30", 0, 1, {{30, y}}, "40", 1},
        {"30", 0, 1, oneByOne, "40", 10},
        {"0", 50, 1, {{15, y}, {10, y}, {13, y}}, "3", 1},    // past Min and back
        {"48", 50, 1, {{25, y}, {30, y}, {28, y}}, "48", 2},  // past Max and back
        {"30", 0, 1, {{20, 40}, {20, -30}, {20, y}}, "30", 0},
        {"2.5", 0, 1, {{21, y}, {22, 0}}, "4.5", 2},
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

  void OnlyTheLeftButtonDragsAndAnyReleaseEndsIt() {
    TDragWindow drag("30");
    drag.pointer.Press(drag.label, PressPoint, Qt::RightButton);
    drag.MoveTo(35);
    drag.pointer.Release(drag.label, {35, 10}, Qt::RightButton);
    QCOMPARE(drag.edit->text(), "30");
    drag.pointer.Press(drag.label, PressPoint);
    drag.MoveTo(25);
    drag.pointer.Press(drag.label, {25, 10}, Qt::RightButton);  // a second button starts nothing
    drag.MoveTo(27);
    QCOMPARE(drag.edit->text(), "37");
    drag.pointer.Release(drag.label, {27, 10}, Qt::RightButton);
    drag.MoveTo(40);  // the left button is still held
    QCOMPARE(drag.edit->text(), "37");
    drag.pointer.Release(drag.label, {40, 10});
  }

  void ADisabledOrGoneFieldIsLeftAlone() {
    TDragWindow drag("30");
    drag.pointer.Press(drag.label, PressPoint);
    drag.edit->setEnabled(false);
    drag.MoveTo(30);
    QCOMPARE(drag.edit->text(), "30");
    drag.edit->setEnabled(true);
    drag.MoveTo(33);  // only the travel since the previous move counts
    QCOMPARE(drag.edit->text(), "33");
    delete drag.edit;  // the label does not own it and must not keep a dangling reference
    QCOMPARE(drag.label->AttachedEdit(), nullptr);
    drag.MoveTo(40);
    drag.pointer.Release(drag.label, {40, 10});
  }

  void ShowsTheAdjustPointer() {
    QWidget window;
    const TAdjustLabel adjust(&window);
    QCOMPARE(adjust.cursor().hotSpot(), QPoint(AdjustCursorHotX, AdjustCursorHotY));
    QCOMPARE(adjust.cursor().pixmap().cacheKey(), crAdjust().pixmap().cacheKey());
    QCOMPARE(QLabel(&window).cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(crAdjust().pixmap().size(), QSize(AdjustCursorSize, AdjustCursorSize));
  }
};

}  // namespace hillograph

QTEST_MAIN(hillograph::TAdjustLabelTest)
#include "AdjustControlTest.moc"
