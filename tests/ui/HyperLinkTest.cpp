#include "ui/HyperLink.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <tuple>

#include "tests/ui/WidgetInput.h"

namespace hillograph {
namespace {

const QColor Background(Qt::white);

// A link on a white window, shown and active.
struct TLinkWindow {
  QWidget window;
  THyperLink* link = new THyperLink(&window);
  TPointer pointer;

  explicit TLinkWindow(bool autoSize = true) {
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Background);
    window.setPalette(palette);
    window.resize(300, 100);
    link->SethlAutoSize(autoSize);
    link->setGeometry(10, 10, 120, 20);
    ShowActive(window);
  }
  // Puts the pointer at a point in the link's coordinates and lets the link poll once.
  void PointAt(QPoint position) {
    QCursor::setPos(link->mapToGlobal(position));
    link->HoverTimerTick();
  }
  QSize CaptionBounds(const TLinkFont& font) const {
    const QFontMetrics metrics(font.Font(), link);
    return {metrics.horizontalAdvance(link->Caption()) + 2, metrics.height() + 2};
  }
};

QFont Enlarged(QFont font) {
  font.setPointSize(font.pointSize() * 2);
  return font;
}

// The first and last columns with a pixel other than the background, and whether one is Ink.
std::tuple<int, int, bool> Painted(THyperLink& link, const QColor& ink = Background) {
  const QImage image = link.grab().toImage();
  int first = image.width(), last = -1;
  bool inked = false;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixelColor(x, y) == Background) continue;
      first = std::min(first, x);
      last = std::max(last, x);
      inked = inked || image.pixelColor(x, y) == ink;
    }
  }
  return {first, last, inked};
}

}  // namespace

class THyperLinkTest : public QObject {
  Q_OBJECT

 private slots:
  void HoverSwitchesAtTheEdgesAndTheSizeFollowsTheFontInUse() {
    TLinkWindow shown(false);
    THyperLink& link = *shown.link;
    const auto* timer = link.findChild<QTimer*>("HoverTimer");
    QVERIFY(timer && timer->isActive() && !timer->isSingleShot());
    QCOMPARE(timer->intervalAsDuration(), std::chrono::milliseconds(50));
    const struct {
      QPoint at;  // from the bottom right corner
      bool over;
    } cases[] = {{{-1, -1}, true}, {{-120, -20}, true},  {{0, -1}, false},
                 {{-1, 0}, false}, {{-121, -10}, false}, {{-60, -21}, false}};
    for (const auto& c : cases) {
      shown.PointAt(QPoint(120, 20) + c.at);
      QCOMPARE(link.MouseOver(), c.over);
      QVERIFY(std::get<2>(Painted(link, (c.over ? link.FontOver() : link.FontOut()).Color())));
    }
    link.SethlAutoSize(true);  // no size until the next change
    QCOMPARE(link.size(), QSize(120, 20));
    link.FontOver().SetFont(Enlarged(link.FontOver().Font()));  // not in use: nothing
    QCOMPARE(link.size(), QSize(120, 20));
    link.SetCaption("Longer caption");
    QCOMPARE(link.size(), shown.CaptionBounds(link.FontOut()));
    QCOMPARE(link.pos(), QPoint(10, 10));
    shown.PointAt({1, 1});
    QCOMPARE(link.size(), shown.CaptionBounds(link.FontOver()));
    link.resize(5, 5);
    link.SetCaption(link.Caption());  // the same caption does nothing
    QCOMPARE(link.size(), QSize(5, 5));
  }

  void FontChangesActOnlyForTheFontInUse() {
    TLinkWindow shown;
    THyperLink& link = *shown.link;
    shown.PointAt({1, 1});
    link.resize(5, 5);
    QCoreApplication::processEvents();
    const TEventCounter paints(&link, QEvent::Paint);
    link.FontOut().SetColor(Qt::green);
    link.FontOut().SetFont(Enlarged(link.FontOut().Font()));
    QCoreApplication::processEvents();
    QCOMPARE(link.size(), QSize(5, 5));
    QCOMPARE(paints.Count, 0);
    // Writing the property always sizes and repaints, even with the font not in use.
    link.SetFontOut(link.FontOut().Font(), link.FontOut().Color());
    QCOMPARE(link.size(), shown.CaptionBounds(link.FontOver()));
    QCoreApplication::processEvents();
    QCOMPARE(paints.Count, 1);
    link.SethlAutoSize(false);  // a new setting repaints
    QCoreApplication::processEvents();
    link.SetAlignment(taCenter);
    QCoreApplication::processEvents();
    QCOMPARE(paints.Count, 3);
    link.SethlAutoSize(true);
    link.resize(5, 5);
    link.FontOver().SetColor(Qt::blue);
    QCOMPARE(link.size(), shown.CaptionBounds(link.FontOver()));
  }

  void FocusClicksAndTab() {
    TLinkWindow shown(false);
    THyperLink& link = *shown.link;
    auto* other = new QLineEdit(&shown.window);
    other->move(10, 50);
    other->show();
    link.SetCaption("");
    link.resize(20, 10);
    const QSignalSpy clicks(&link, &THyperLink::Clicked);
    shown.pointer.Click(&link, {5, 5}, Qt::RightButton);  // any button gives the focus
    QVERIFY(link.hasFocus());
    // Odd pixels of the edges are inverted; a corner reached twice keeps its colour.
    const QImage framed = link.grab().toImage();
    for (const QPoint& pixel : {QPoint(1, 0), {19, 0}, {1, 9}, {0, 1}, {19, 1}, {0, 9}})
      QCOMPARE(framed.pixelColor(pixel), QColor(Qt::black));
    for (const QPoint& pixel : {QPoint(0, 0), {2, 0}, {0, 2}, {19, 9}, {5, 5}})
      QCOMPARE(framed.pixelColor(pixel), Background);
    shown.pointer.Click(other, {5, 5});
    QCOMPARE(std::get<1>(Painted(link)), -1);
    QTest::keyClick(other, Qt::Key_Tab);  // Tab never reaches the link
    QVERIFY(!link.hasFocus());
    shown.pointer.Click(&link, {3, 3});
    shown.pointer.Press(&link, {3, 3});
    shown.pointer.Release(&link, {link.width(), 3});  // released beside it: no click
    QCOMPARE(clicks.count(), 1);
  }
};

}  // namespace hillograph

QTEST_MAIN(hillograph::THyperLinkTest)
#include "HyperLinkTest.moc"
