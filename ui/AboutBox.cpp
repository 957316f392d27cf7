#include "ui/AboutBox.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QUrl>

#include "ui/HyperLink.h"
#include "ui/InterfaceFont.h"

namespace hillograph {
namespace {

constexpr char AboutCaption[] = "About Brackmoor Hillograph";
constexpr char ProgramText[] = "Hillograph, version 1.2";
constexpr char NoticeText[] = "Copyright \u00A9 2026 Hillograph developers";
constexpr char InvitationText[] = "Please visit the Brackmoor homepage or donate:";
constexpr char DonateCaption[] = "Make a Donation via PayPal";
constexpr char CloseText[] = "Close";

constexpr QSize ClientSize(315, 153);
constexpr QRgb BackgroundColor = 0xEBEBEB;
constexpr int PointSize = 9;
constexpr QRgb LinkOutColor = 0x0000FF;   // blue
constexpr QRgb LinkOverColor = 0xFF0000;  // red

constexpr QPoint ProgramPosition(8, 8);
constexpr QPoint NoticePosition(8, 32);
constexpr QPoint InvitationPosition(8, 56);
constexpr QRect BrackmoorBounds(8, 80, 145, 16);  // before the link sizes itself
constexpr QRect DonateBounds(8, 104, 149, 16);
constexpr QRect CloseButtonBounds(232, 120, 75, 25);

QLabel* NewLabel(const char* text, QPoint position, QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->move(position);
  return label;
}

THyperLink* NewLink(const QString& caption, const QRect& bounds, QWidget* parent) {
  auto* link = new THyperLink(parent);
  link->setGeometry(bounds);
  link->SetCaption(caption);
  const QFont font = InterfaceFont(PointSize);
  QFont underlined = font;
  underlined.setUnderline(true);
  link->SetFontOut(font, QColor(LinkOutColor));
  link->SetFontOver(underlined, QColor(LinkOverColor));
  link->setCursor(Qt::PointingHandCursor);
  return link;
}

void OpenAddress(const QString& address) {
  QDesktopServices::openUrl(QUrl(address));
}

}  // namespace

QString DonationAddress() {
  return QString::fromLatin1(HomepageAddress) + QString::fromLatin1(DonationPage);
}

TfrmAbout* frmAbout = nullptr;

TfrmAbout::TfrmAbout(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint),
      ProgramLabel(NewLabel(ProgramText, ProgramPosition, this)),
      NoticeLabel(NewLabel(NoticeText, NoticePosition, this)),
      InvitationLabel(NewLabel(InvitationText, InvitationPosition, this)),
      hlBrackmoor(NewLink(QString::fromLatin1(HomepageAddress), BrackmoorBounds, this)),
      hlDonate(NewLink(QString::fromLatin1(DonateCaption), DonateBounds, this)),
      CloseButton(new QPushButton(QString::fromLatin1(CloseText), this)) {
  setWindowTitle(QString::fromLatin1(AboutCaption));
  setFixedSize(ClientSize);
  QPalette background = palette();
  background.setColor(QPalette::Window, QColor(BackgroundColor));
  setPalette(background);
  setFont(InterfaceFont(PointSize));

  QFont bold = font();
  bold.setBold(true);
  ProgramLabel->setFont(bold);
  for (QLabel* label : {ProgramLabel, NoticeLabel, InvitationLabel})
    label->adjustSize();  // a label's size follows its text

  connect(hlBrackmoor, &THyperLink::Clicked, this, &TfrmAbout::hlBrackmoorClick);
  connect(hlDonate, &THyperLink::Clicked, this, &TfrmAbout::hlDonateClick);
  CloseButton->setGeometry(CloseButtonBounds);
  connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmAbout::hlBrackmoorClick() {
  OpenAddress(QString::fromLatin1(HomepageAddress));
}

void TfrmAbout::hlDonateClick() {
  OpenAddress(DonationAddress());
}

void TfrmAbout::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TfrmAbout::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Centred on the screen rather than over the main window.
  if (const QScreen* shown = screen())
    move(QStyle::alignedRect(layoutDirection(), Qt::AlignCenter, size(), shown->availableGeometry())
             .topLeft());
}

}  // namespace hillograph
