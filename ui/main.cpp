// The program entry: the pointer shape, the application, the main window and the hidden About
// box, then the event loop, whose first act is to show the main window and render the map.
#include <QIcon>
#include <csignal>

#include "ui/AboutBox.h"
#include "ui/AdjustRes.h"
#include "ui/Application.h"
#include "ui/Main.h"

int main(int argc, char** argv) {
  using namespace hillograph;
  // A reader that goes away makes the write fail with a message instead of ending the program.
  std::signal(SIGPIPE, SIG_IGN);
  TApplication application(argc, argv);
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/hillograph.png")));
  RegisterAdjustCursor();
  TfrmMain main;
  frmMain = &main;
  TfrmAbout about;
  frmAbout = &about;
  main.show();
  const int status = QApplication::exec();
  frmAbout = nullptr;
  return status;
}
