// The small widgets: the number field and the label that drags it (typed keys, drags, key and
// wheel steps), and the About box with its hyperlinks (hover, sizes, the addresses they open).
#include <QDesktopServices>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "tests/ui/WidgetInput.h"
#include "ui/AboutBox.h"
#include "ui/AdjustControl.h"
#include "ui/HyperLink.h"

namespace hillograph {
namespace {

constexpr QPoint PressPoint(20, 10);

// A label in front of its field, in an active window where the field has the focus; Tab moves
// the focus to the next field.
struct TDragWindow {
  QWidget window;
  TAdjustLabel* label = new TAdjustLabel("Amount of water:", &window);
  TNumberEdit* edit = new TNumberEdit(&window);
  TNumberEdit* next = new TNumberEdit(&window);
  TPointer pointer;

  explicit TDragWindow(const QString& start) {
    label->setGeometry(10, 10, 100, 20);
    edit->setGeometry(120, 10, 80, 21);
    next->move(120, 40);
    edit->setText(start);
    label->SetAttachedEdit(edit);
    if (ShowActive(window)) edit->setFocus();
  }
  void MoveTo(int x) { pointer.Move(label, QPoint(x, PressPoint.y())); }
};

// Stands in for the browser: the desktop hands it the addresses the links open.
class TBrowser : public QObject {
  Q_OBJECT

 public:
  TBrowser() { QDesktopServices::setUrlHandler("https", this, "Open"); }
  ~TBrowser() override { QDesktopServices::unsetUrlHandler("https"); }
  QList<QUrl> Opened;

 public slots:
  void Open(const QUrl& url) { Opened << url; }
};

}  // namespace

class TWidgetsTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

  void KeysTypedTheFocusLeavingAndEditingKeys() {
    const struct {
      bool comma;  // the decimal separator of the user's locale
      QString typed;
      double max;  // with Min 1 when not 0
      QString kept, left;
    } cases[] = {
        {false, "5000", 1000, "5000", "1000"},
        {false, "640", 1000, "640", "640"},  // unchanged: no Changed
        {false, "", 1000, "", "1"},
        {false, "12a b.5e3", 0, "12.53", "12.53"},
        {false, "1+-..2-", 0, "1+-..2-", "1"},  // signs and separators anywhere, more than once;
                                                // no number: the last one stays
        {false, "1/2*3=%4_\u00BD\u00E9", 0, "1234", "1234"},
        {true, "1.5,2", 0, "15,2", "15,2"},
    };
    for (const auto& c : cases) {
      if (c.comma) QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
      TDragWindow field("");
      TNumberEdit& edit = *field.edit;
      edit.SetMin(c.max == 0 ? 0 : 1);
      edit.SetMax(c.max);
      TypeCharacters(&edit, c.typed);
      QCOMPARE(edit.text(), c.kept);                       // as typed while the field has the focus
      QCOMPARE(edit.Value(), QLocale().toDouble(c.left));  // but read within the range
      QStringList events;
      connect(&edit, &TNumberEdit::Changed, this, [&] { events << "Changed " + edit.text(); });
      connect(&edit, &TNumberEdit::Exited, this, [&] { events << "Exited " + edit.text(); });
      QTest::keyClick(&edit, Qt::Key_Tab);
      QCOMPARE(events, (c.left == c.kept ? QStringList{"Exited " + c.left}
                                         : QStringList{"Changed " + c.left, "Exited " + c.left}));
    }
    TNumberEdit edit;
    TypeCharacters(&edit, "23");  // after the 0 a new field shows
    QTest::keyClick(&edit, Qt::Key_Home);
    // Delete as the X11 keyboard delivers it, with a character.
    QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key_Delete, QString(QChar(0x7F)), {});
    QCOMPARE(edit.text(), "23");
  }

  void DragsChangeAnEnabledFieldByTheTravel() {
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
    // Only the left button drags, and only an enabled field.
    TDragWindow drag("30");
    drag.pointer.Press(drag.label, PressPoint, Qt::RightButton);
    drag.MoveTo(35);
    drag.pointer.Release(drag.label, {35, 10}, Qt::RightButton);
    drag.pointer.Press(drag.label, PressPoint);
    drag.edit->setEnabled(false);
    drag.MoveTo(25);
    drag.edit->setEnabled(true);
    drag.MoveTo(28);  // only the travel since the previous move counts
    QCOMPARE(drag.edit->text(), "33");
    delete drag.edit;  // the label does not own it and must not keep a dangling reference
    QCOMPARE(drag.label->AttachedEdit(), nullptr);
    drag.MoveTo(50);
  }

  // A key press or a wheel notch is a drag of one pixel: the same value, the same number of
  // changes, at a fraction and at a bound.
  void StepsEqualOnePixelDrags() {
    for (const auto& [increment, start, steps] :
         {std::tuple(0.1, "0.2", 7), std::tuple(5.0, "247", 3), std::tuple(1.0, "2", -4)}) {
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
      QCOMPARE(run([&] { Wheel(drag.label, {5, 5}, 120 * dx); }), dragged);
    }
  }

  void FixedToolWindowWhoseLinksOpenTheirAddresses() {
    const TBrowser browser;
    TfrmAbout frmAbout;
    QVERIFY(frmAbout.windowFlags().testFlag(Qt::Tool));
    QVERIFY(frmAbout.minimumSize() == QSize(315, 153) && frmAbout.maximumSize() == QSize(315, 153));
    THyperLink* link = frmAbout.hlDonate;
    QVERIFY(ShowActive(frmAbout));
    QFont larger = link->FontOver().Font();
    larger.setPointSize(larger.pointSize() * 2);
    link->FontOver().SetFont(larger);
    for (const bool over : {true, false}) {  // the link polls the pointer; each font sizes it
      QCursor::setPos(link->mapToGlobal(QPoint(link->width() - over, link->height() - 1)));
      link->HoverTimerTick();
      QCOMPARE(link->MouseOver(), over);
      const QFontMetrics metrics((over ? link->FontOver() : link->FontOut()).Font(), link);
      QCOMPARE(link->size(),
               QSize(metrics.horizontalAdvance(link->Caption()) + 2, metrics.height() + 2));
    }
    QTest::keyClick(frmAbout.CloseButton, Qt::Key_Tab);
    QCOMPARE(frmAbout.focusWidget(), frmAbout.CloseButton);  // the only tab stop
    QTest::keyClick(frmAbout.CloseButton, Qt::Key_Escape);
    QVERIFY(frmAbout.isVisible());
    TPointer pointer;
    pointer.Press(link, {2, 2});
    pointer.Release(link, {link->width(), 2});  // released beside it: no click
    for (THyperLink* clicked : {frmAbout.hlBrackmoor, link}) {
      pointer.Press(clicked, {2, 2});
      pointer.Release(clicked, {2, 2});
    }
    QCOMPARE(browser.Opened, (QList<QUrl>{QUrl(HomepageAddress), QUrl(DonationAddress())}));
    QTest::keyClick(frmAbout.CloseButton, Qt::Key_Return);
    QVERIFY(!frmAbout.isVisible());
    QCOMPARE(frmAbout.result(), QDialog::Accepted);
  }
};

}  // namespace hillograph

QTEST_MAIN(hillograph::TWidgetsTest)
#include "WidgetsTest.moc"
