// The program entry: the pointer shape, the application, the command line, the main window (with
// what the last run kept, and the preset named on the command line, if any) and the hidden About
// box, then the event loop, whose first act is to show the main window and render the map.
#include <QIcon>
#include <QProcessEnvironment>
#include <QSettings>
#include <QTextStream>
#include <csignal>
#include <cstdio>
#include <memory>

#include "ui/AboutBox.h"
#include "ui/AdjustRes.h"
#include "ui/Application.h"
#include "ui/Main.h"
#include "ui/StartUp.h"

int main(int argc, char** argv) {
  using namespace hillograph;
  // A reader that goes away makes the write fail with a message instead of ending the program.
  std::signal(SIGPIPE, SIG_IGN);
  {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
      arguments << QString::fromLocal8Bit(argv[i]);
    QTextStream out(stdout);
    if (const auto status = AnswerHelpOrVersion(arguments, out)) return *status;
    QTextStream err(stderr);
    const auto environment = QProcessEnvironment::systemEnvironment();
    if (const auto status = RefuseWithoutDisplay(arguments, environment, err)) return *status;
  }
  TApplication application(argc, argv);
  QTextStream err(stderr);
  const QString presetFile = ReadStartUpFile(QApplication::arguments(), err);
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/hillograph.png")));
  RegisterAdjustCursor();
  TfrmMain main;
  frmMain = &main;
  TfrmAbout about;
  frmAbout = &about;
  auto settings =
      std::make_unique<QSettings>(QStringLiteral("hillograph"), QStringLiteral("hillograph"));
  if (ResetRequested(QApplication::arguments())) settings->clear();
  main.RememberIn(std::move(settings));
  if (!presetFile.isEmpty()) LoadStartUpPreset(main, presetFile);
  main.show();
  const int status = QApplication::exec();
  frmAbout = nullptr;
  return status;
}
