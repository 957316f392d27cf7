// The program entry: the pointer shape, the application, the command line, the main window (with
// the preset named on the command line, if any) and the hidden About box, then the event loop,
// whose first act is to show the main window and render the map.
#include <QIcon>
#include <QTextStream>
#include <csignal>
#include <cstdio>

#include "ui/AboutBox.h"
#include "ui/AdjustRes.h"
#include "ui/Application.h"
#include "ui/Main.h"
#include "ui/StartUp.h"

int main(int argc, char** argv) {
  using namespace hillograph;
  // A reader that goes away makes the write fail with a message instead of ending the program.
  std::signal(SIGPIPE, SIG_IGN);
  TApplication application(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);
  const TStartUpArguments arguments = ReadStartUpArguments(QApplication::arguments(), out, err);
  if (arguments.ExitStatus) return *arguments.ExitStatus;
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/hillograph.png")));
  RegisterAdjustCursor();
  TfrmMain main;
  frmMain = &main;
  TfrmAbout about;
  frmAbout = &about;
  if (!arguments.PresetFile.isEmpty()) LoadStartUpPreset(main, arguments.PresetFile);
  main.show();
  const int status = QApplication::exec();
  frmAbout = nullptr;
  return status;
}
