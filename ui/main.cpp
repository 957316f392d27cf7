// The program entry: the pointer shape, the application, the main window and the hidden About
// box, then the event loop, whose first act is to show the main window and render the map.
#include <QIcon>

#include "ui/AboutBox.h"
#include "ui/AdjustRes.h"
#include "ui/Application.h"
#include "ui/Main.h"

int main(int argc, char** argv) {
  using namespace hillograph;
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
