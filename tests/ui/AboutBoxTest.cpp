#include "ui/AboutBox.h"

#include <QDesktopServices>
#include <QLabel>
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
  TBrowser() {
    for (const char* scheme : {"http", "https"})
      QDesktopServices::setUrlHandler(scheme, this, "Open");
  }
  ~TBrowser() override {
    for (const char* scheme : {"http", "https"})
      QDesktopServices::unsetUrlHandler(scheme);
  }
  QList<QUrl> Opened;

 public slots:
  void Open(const QUrl& url) { Opened << url; }
};

}  // namespace

class TfrmAboutTest : public QObject {
  Q_OBJECT

 private slots:
  void FixedToolWindowWithSelfSizedLinks() {
    const TfrmAbout frmAbout;
    QVERIFY(frmAbout.windowFlags().testFlag(Qt::Tool));
    QCOMPARE(frmAbout.minimumSize(), QSize(315, 153));
    QCOMPARE(frmAbout.maximumSize(), QSize(315, 153));
    QVERIFY(frmAbout.Label1->font().bold() && !frmAbout.Label2->font().bold());
    for (const THyperLink* link : {frmAbout.hlBrackmoor, frmAbout.hlDonate}) {
      const QFontMetrics metrics(link->FontOut().Font(), link);
      QCOMPARE(link->size(),
               QSize(metrics.horizontalAdvance(link->Caption()) + 2, metrics.height() + 2));
    }
    QCOMPARE(frmAbout.hlDonate->pos(), QPoint(8, 104));
    QCOMPARE(frmAbout.hlDonate->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(frmAbout.hlBrackmoor->Caption(), QString(HomepageAddress));
    QCOMPARE(DonationAddress(), QString(HomepageAddress) + "redir.php?page=donate");
  }

  void LinksOpenTheirAddressesAndOnlyCloseCloses() {
    const TBrowser browser;
    TfrmAbout frmAbout;
    QVERIFY(ShowActive(frmAbout));
    QCOMPARE(frmAbout.focusWidget(), frmAbout.Button1);
    QTest::keyClick(frmAbout.Button1, Qt::Key_Tab);
    QCOMPARE(frmAbout.focusWidget(), frmAbout.Button1);  // the only tab stop
    QTest::keyClick(frmAbout.Button1, Qt::Key_Escape);
    QVERIFY(frmAbout.isVisible());
    TPointer pointer;
    pointer.Click(frmAbout.hlBrackmoor, {2, 2});
    pointer.Click(frmAbout.hlDonate, {2, 2});
    QCOMPARE(browser.Opened, (QList<QUrl>{QUrl(HomepageAddress), QUrl(DonationAddress())}));
    QTest::keyClick(frmAbout.Button1, Qt::Key_Return);
    QVERIFY(!frmAbout.isVisible());
    QCOMPARE(frmAbout.result(), QDialog::Accepted);
    QVERIFY(ShowActive(frmAbout));
    QVERIFY(frmAbout.close());  // the close box still closes
  }
};

}  // namespace hillograph

QTEST_MAIN(hillograph::TfrmAboutTest)
#include "AboutBoxTest.moc"
