#include "ui/HyperLink.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

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
};

QSize CaptionBounds(const THyperLink& link, const QFont& font) {
  const QFontMetrics metrics(font, &link);
  return {metrics.horizontalAdvance(link.Caption()) + 2, metrics.height() + 2};
}

QFont Enlarged(QFont font) {
  font.setPointSize(font.pointSize() * 2);
  return font;
}

// The first and last columns with a pixel other than the background.
std::pair<int, int> PaintedColumns(const QImage& image) {
  int first = image.width(), last = -1;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixelColor(x, y) == Background) continue;
      first = std::min(first, x);
      last = std::max(last, x);
    }
  }
  return {first, last};
}

bool Shows(const QImage& image, const QColor& color) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == color) return true;
  }
  return false;
}

}  // namespace

class THyperLinkTest : public QObject {
  Q_OBJECT

 private slots:
  void PollsEvery50Milliseconds() {
    const THyperLink link;
    const auto* timer = link.findChild<QTimer*>("HoverTimer");
    QVERIFY(timer && timer->isActive() && !timer->isSingleShot());
    QCOMPARE(timer->intervalAsDuration(), std::chrono::milliseconds(50));
  }

  void HoverSwitchesAtTheEdges_data() {
    QTest::addColumn<QPoint>("offset");  // from the bottom right corner
    QTest::addColumn<bool>("over");
    QTest::newRow("last column and row") << QPoint(-1, -1) << true;
    QTest::newRow("top left") << QPoint(-120, -20) << true;
    QTest::newRow("right of it") << QPoint(0, -1) << false;
    QTest::newRow("below it") << QPoint(-1, 0) << false;
    QTest::newRow("left of it") << QPoint(-121, -10) << false;
    QTest::newRow("above it") << QPoint(-60, -21) << false;
  }
  void HoverSwitchesAtTheEdges() {
    QFETCH(QPoint, offset);
    QFETCH(bool, over);
    TLinkWindow shown(false);
    THyperLink& link = *shown.link;
    shown.PointAt(QPoint(link.width(), link.height()) + offset);
    QCOMPARE(link.MouseOver(), over);
    const QColor ink = over ? link.FontOver().Color() : link.FontOut().Color();
    QVERIFY2(Shows(link.grab().toImage(), ink), "the caption is drawn in the font in use");
  }

  void SizesItselfToTheFontInUse() {
    TLinkWindow shown;
    THyperLink& link = *shown.link;
    link.SetCaption("Longer caption");
    QCOMPARE(link.size(), CaptionBounds(link, link.FontOut().Font()));
    QCOMPARE(link.pos(), QPoint(10, 10));
    link.FontOver().SetFont(Enlarged(link.FontOver().Font()));
    QCOMPARE(link.size(), CaptionBounds(link, link.FontOut().Font()));  // not in use yet
    shown.PointAt({1, 1});
    QCOMPARE(link.size(), CaptionBounds(link, link.FontOver().Font()));
    shown.PointAt({-5, -5});
    QCOMPARE(link.size(), CaptionBounds(link, link.FontOut().Font()));
  }

  void CaptionWrites() {
    TLinkWindow shown;
    THyperLink& link = *shown.link;
    link.resize(5, 5);
    link.SetCaption(link.Caption());
    QCOMPARE(link.size(), QSize(5, 5));
    link.SethlAutoSize(false);
    link.SetCaption("abc");
    QCOMPARE(link.size(), QSize(5, 5));
    link.SethlAutoSize(true);  // no size until the next change
    QCOMPARE(link.size(), QSize(5, 5));
    link.SetCaption("abcd");
    QCOMPARE(link.size(), CaptionBounds(link, link.FontOut().Font()));
  }

  void FontChangesActOnlyForTheFontInUse() {
    TLinkWindow shown;
    THyperLink& link = *shown.link;
    shown.PointAt({1, 1});
    QVERIFY(link.MouseOver());
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
    QCOMPARE(link.size(), CaptionBounds(link, link.FontOver().Font()));
    QCoreApplication::processEvents();
    QCOMPARE(paints.Count, 1);

    link.resize(5, 5);
    link.FontOver().SetColor(Qt::blue);
    QCOMPARE(link.size(), CaptionBounds(link, link.FontOver().Font()));
  }

  void FocusFrame() {
    TLinkWindow shown(false);
    THyperLink& link = *shown.link;
    auto* other = new QLineEdit(&shown.window);
    other->move(10, 50);
    other->show();
    link.SetCaption("");
    link.resize(20, 10);
    shown.pointer.Click(&link, {5, 5}, Qt::RightButton);  // any button gives the focus
    QVERIFY(link.hasFocus());

    // Odd pixels of the edges are inverted; a corner reached twice keeps its colour.
    const QImage framed = link.grab().toImage();
    const QList<QPoint> inverted{{1, 0}, {19, 0}, {1, 9}, {0, 1}, {19, 1}, {0, 9}};
    const QList<QPoint> kept{{0, 0}, {2, 0}, {0, 2}, {19, 9}, {5, 5}};
    for (const QPoint& pixel : inverted)
      QCOMPARE(framed.pixelColor(pixel), QColor(Qt::black));
    for (const QPoint& pixel : kept)
      QCOMPARE(framed.pixelColor(pixel), Background);

    shown.pointer.Click(other, {5, 5});
    QVERIFY(!link.hasFocus());
    QCOMPARE(PaintedColumns(link.grab().toImage()).second, -1);
  }

  void TabNeverReachesIt() {
    QWidget window;
    auto* first = new QLineEdit(&window);
    auto* link = new THyperLink(&window);
    auto* last = new QLineEdit(&window);
    link->move(0, 30);
    last->move(0, 60);
    QVERIFY(ShowActive(window));
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Tab);
    QVERIFY(last->hasFocus());
    QTest::keyClick(last, Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(first->hasFocus());
  }

  void ClickIsALeftPressAndReleaseOverTheLink() {
    TLinkWindow shown;
    THyperLink& link = *shown.link;
    const QSignalSpy clicks(&link, &THyperLink::Clicked);
    shown.pointer.Click(&link, {3, 3});
    QCOMPARE(clicks.count(), 1);
    shown.pointer.Click(&link, {3, 3}, Qt::RightButton);
    shown.pointer.Press(&link, {3, 3});
    shown.pointer.Release(&link, {link.width(), 3});  // released beside it
    QCOMPARE(clicks.count(), 1);
  }

  void Alignments_data() {
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("width");
    QTest::newRow("left") << int(taLeftJustify) << 200;
    QTest::newRow("right") << int(taRightJustify) << 200;
    QTest::newRow("centre") << int(taCenter) << 200;
    QTest::newRow("centre, wider than the link") << int(taCenter) << 21;
  }
  void Alignments() {
    QFETCH(int, alignment);
    QFETCH(int, width);
    TLinkWindow shown(false);
    THyperLink& link = *shown.link;
    link.SetCaption("HHHH");
    link.SetFontOut(link.FontOut().Font(), Qt::black);
    link.SetAlignment(TAlignment(alignment));
    link.resize(width, 20);
    const int captionWidth = QFontMetrics(link.FontOut().Font(), &link).horizontalAdvance("HHHH");
    const int left = alignment == taLeftJustify    ? 1
                     : alignment == taRightJustify ? width - 1 - captionWidth
                                                   : (width - 1 - captionWidth) / 2;
    const auto [first, last] = PaintedColumns(link.grab().toImage());
    // The glyphs' side bearings leave a pixel or two inside the advance.
    const int bearing = 3;
    QVERIFY2(first >= std::max(left, 0) && first <= std::max(left, 0) + bearing,
             qPrintable(QString::number(first)));
    const int right = std::min(left + captionWidth, width) - 1;
    QVERIFY2(last <= right && last >= right - bearing, qPrintable(QString::number(last)));
  }
};

}  // namespace hillograph

QTEST_MAIN(hillograph::THyperLinkTest)
#include "HyperLinkTest.moc"
