// The About box and its hyperlinks: sizes, hover, the addresses they open and the keys.
#include "ui/AboutBox.h"

#include <QDesktopServices>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include "tests/ui/WidgetInput.h"
#include "ui/HyperLink.h"

namespace hillograph {
namespace {

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

class TfrmAboutTest : public QObject {
  Q_OBJECT

 private slots:
  void FixedToolWindowWhoseLinksOpenTheirAddresses() {
    const TBrowser browser;
    TfrmAbout frmAbout;
    QVERIFY(frmAbout.windowFlags().testFlag(Qt::Tool));
    QCOMPARE(frmAbout.minimumSize(), QSize(315, 153));
    QCOMPARE(frmAbout.maximumSize(), QSize(315, 153));
    THyperLink* link = frmAbout.hlDonate;
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
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
    QTest::keyClick(frmAbout.Button1, Qt::Key_Tab);
    QCOMPARE(frmAbout.focusWidget(), frmAbout.Button1);  // the only tab stop
    QTest::keyClick(frmAbout.Button1, Qt::Key_Escape);
    QVERIFY(frmAbout.isVisible());
    TPointer pointer;
    pointer.Press(link, {2, 2});
    pointer.Release(link, {link->width(), 2});  // released beside it: no click
    pointer.Click(frmAbout.hlBrackmoor, {2, 2});
    pointer.Click(link, {2, 2});
    QCOMPARE(browser.Opened, (QList<QUrl>{QUrl(HomepageAddress), QUrl(DonationAddress())}));
    QCOMPARE(DonationAddress(), QString(HomepageAddress) + "redir.php?page=donate");
    QTest::keyClick(frmAbout.Button1, Qt::Key_Return);
    QVERIFY(!frmAbout.isVisible());
    QCOMPARE(frmAbout.result(), QDialog::Accepted);
  }
};

}  // namespace hillograph

QTEST_MAIN(hillograph::TfrmAboutTest)
#include "AboutBoxTest.moc"
