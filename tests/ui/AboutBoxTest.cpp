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
    QCOMPARE(frmAbout.hlDonate->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(ShowActive(frmAbout));
    QTest::keyClick(frmAbout.Button1, Qt::Key_Tab);
    QCOMPARE(frmAbout.focusWidget(), frmAbout.Button1);  // the only tab stop
    QTest::keyClick(frmAbout.Button1, Qt::Key_Escape);
    QVERIFY(frmAbout.isVisible());
    TPointer pointer;
    pointer.Press(frmAbout.hlDonate, {2, 2});
    pointer.Release(frmAbout.hlDonate, {frmAbout.hlDonate->width(), 2});  // beside it: no click
    pointer.Click(frmAbout.hlBrackmoor, {2, 2});
    pointer.Click(frmAbout.hlDonate, {2, 2});
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
