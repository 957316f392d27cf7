#include "ui/HyperLink.h"

#include <QFontMetrics>
#include <QTest>
#include <QTimer>

#include "tests/ui/WidgetInput.h"

namespace hillograph {

class THyperLinkTest : public QObject {
  Q_OBJECT

 private slots:
  void HoverSwitchesAtTheEdgesAndTheSizeFollowsTheFontInUse() {
    QWidget window;
    THyperLink& link = *new THyperLink(&window);
    link.SethlAutoSize(false);
    link.setGeometry(10, 10, 120, 20);
    QVERIFY(ShowActive(window));
    const auto pointAt = [&](QPoint position) {  // the link polls the pointer
      QCursor::setPos(link.mapToGlobal(position));
      link.HoverTimerTick();
    };
    const auto captionBounds = [&](const TLinkFont& font) {
      const QFontMetrics metrics(font.Font(), &link);
      return QSize(metrics.horizontalAdvance(link.Caption()) + 2, metrics.height() + 2);
    };
    const auto* timer = link.findChild<QTimer*>("HoverTimer");
    QVERIFY(timer && timer->isActive() && !timer->isSingleShot());
    const struct {
      QPoint at;  // from the bottom right corner
      bool over;
    } cases[] = {{{-1, -1}, true}, {{-120, -20}, true}, {{0, -1}, false}, {{-60, -21}, false}};
    for (const auto& c : cases) {
      pointAt(QPoint(120, 20) + c.at);
      QCOMPARE(link.MouseOver(), c.over);
      const QImage image = link.grab().toImage();  // drawn in the colour of the font in use
      const QColor ink = (c.over ? link.FontOver() : link.FontOut()).Color();
      bool inked = false;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
          inked = inked || image.pixelColor(x, y) == ink;
      QVERIFY(inked);
    }
    link.SethlAutoSize(true);  // no size until the next change, and only for the font in use
    QFont larger = link.FontOver().Font();
    larger.setPointSize(larger.pointSize() * 2);
    link.FontOver().SetFont(larger);
    QCOMPARE(link.size(), QSize(120, 20));
    link.SetCaption("Longer caption");
    QCOMPARE(link.size(), captionBounds(link.FontOut()));
    QCOMPARE(link.pos(), QPoint(10, 10));
    pointAt({1, 1});
    QCOMPARE(link.size(), captionBounds(link.FontOver()));
    link.resize(5, 5);
    link.SetCaption(link.Caption());  // the same caption does nothing
    QCOMPARE(link.size(), QSize(5, 5));
    link.SetFontOut(link.FontOut().Font(), link.FontOut().Color());  // the property always sizes
    QCOMPARE(link.size(), captionBounds(link.FontOver()));
  }
};

}  // namespace hillograph

QTEST_MAIN(hillograph::THyperLinkTest)
#include "HyperLinkTest.moc"
