#include "ui/HyperLink.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "tests/ui/WidgetInput.h"

namespace hillograph {
namespace {

// A link on a white window, shown and active.
struct TLinkWindow {
  QWidget window;
  THyperLink* link = new THyperLink(&window);
  TPointer pointer;

  TLinkWindow() {
    window.setStyleSheet("background: white");
    window.resize(300, 100);
    link->SethlAutoSize(false);
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

bool Inked(const QImage& image, const QColor& ink) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == ink) return true;
  return false;
}

}  // namespace

class THyperLinkTest : public QObject {
  Q_OBJECT

 private slots:
  void HoverSwitchesAtTheEdgesAndTheSizeFollowsTheFontInUse() {
    TLinkWindow shown;
    THyperLink& link = *shown.link;
    const auto* timer = link.findChild<QTimer*>("HoverTimer");
    QVERIFY(timer && timer->isActive() && !timer->isSingleShot());
    const struct {
      QPoint at;  // from the bottom right corner
      bool over;
    } cases[] = {{{-1, -1}, true}, {{-120, -20}, true}, {{0, -1}, false}, {{-60, -21}, false}};
    for (const auto& c : cases) {
      shown.PointAt(QPoint(120, 20) + c.at);
      QCOMPARE(link.MouseOver(), c.over);
      const TLinkFont& font = c.over ? link.FontOver() : link.FontOut();
      QVERIFY(Inked(link.grab().toImage(), font.Color()));
    }
    link.SethlAutoSize(true);  // no size until the next change, and only for the font in use
    QFont larger = link.FontOver().Font();
    larger.setPointSize(larger.pointSize() * 2);
    link.FontOver().SetFont(larger);
    QCOMPARE(link.size(), QSize(120, 20));
    link.SetCaption("Longer caption");
    QCOMPARE(link.size(), shown.CaptionBounds(link.FontOut()));
    QCOMPARE(link.pos(), QPoint(10, 10));
    shown.PointAt({1, 1});
    QCOMPARE(link.size(), shown.CaptionBounds(link.FontOver()));
    link.resize(5, 5);
    link.SetCaption(link.Caption());  // the same caption does nothing
    QCOMPARE(link.size(), QSize(5, 5));
    link.SetFontOut(link.FontOut().Font(), link.FontOut().Color());  // the property always sizes
    QCOMPARE(link.size(), shown.CaptionBounds(link.FontOver()));
  }

  void FocusClicksAndTab() {
    TLinkWindow shown;
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
    for (const QPoint& pixel : {QPoint(1, 0), {19, 0}, {0, 1}, {0, 9}})
      QCOMPARE(framed.pixelColor(pixel), QColor(Qt::black));
    for (const QPoint& pixel : {QPoint(0, 0), {2, 0}, {19, 9}, {5, 5}})
      QCOMPARE(framed.pixelColor(pixel), QColor(Qt::white));
    shown.pointer.Click(other, {5, 5});
    QVERIFY(!Inked(link.grab().toImage(), Qt::black));
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
