// The About box: the program's name and version, and links to the homepage and the donation
// page. Created hidden at start-up and shown modally; "Close" is its only tab stop.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace hillograph {

class THyperLink;

inline constexpr char HomepageAddress[] = "https://hillograph.example/";  // ends in "/"
inline constexpr char DonationPage[] = "redir.php?page=donate";

// The homepage address followed by the donation page.
QString DonationAddress();

class TfrmAbout : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmAbout(QWidget* parent = nullptr);

  // Ask the desktop to open the address in the user's browser; the outcome is not looked at,
  // and the box stays open either way.
  void hlBrackmoorClick();
  void hlDonateClick();

  QLabel* const ProgramLabel;
  QLabel* const NoticeLabel;
  QLabel* const InvitationLabel;
  THyperLink* const hlBrackmoor;
  THyperLink* const hlDonate;
  QPushButton* const CloseButton;

 protected:
  // Escape does nothing: "Close" is not a cancel button.
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
};

// The program's one About box, created hidden at start-up.
extern TfrmAbout* frmAbout;

}  // namespace hillograph
