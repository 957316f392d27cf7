#include "ui/StartUp.h"

#include <QCheckBox>
#include <QCommandLineParser>
#include <QFile>
#include <QProcessEnvironment>
#include <QSignalBlocker>
#include <QTextStream>

#include "parameters/Profile.h"
#include "ui/Application.h"
#include "ui/Main.h"

namespace hillograph {

namespace {

// The window's options, so that --help describes them and the file is told from them.
struct TParser {
  QCommandLineParser Parser;
  QCommandLineOption Help = Parser.addHelpOption();
  QCommandLineOption Version = Parser.addVersionOption();
  QCommandLineOption Reset{QStringLiteral("reset"),
                           QStringLiteral("Start from the start-up values and forget what earlier "
                                          "runs kept: values, window, folders, recent presets.")};

  TParser() {
    Parser.addOption(Reset);
    Parser.setApplicationDescription(QStringLiteral("Draws imaginary relief maps."));
    Parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A preset file (.hpf) to start with."),
                                 QStringLiteral("[file]"));
  }
};

}  // namespace

std::optional<int> AnswerHelpOrVersion(const QStringList& Arguments, QTextStream& Out) {
  TParser parser;
  // The toolkit's options are unknown here; the window's own are found all the same.
  parser.Parser.parse(Arguments);
  std::optional<int> status;
  if (parser.Parser.isSet(parser.Help) || parser.Parser.isSet(QStringLiteral("help-all"))) {
    // Without an application object the parser does not know the program's name.
    Out << parser.Parser.helpText().replace(QStringLiteral("<executable_name>"),
                                            QStringLiteral("hillograph"));
    status = 0;
  } else if (parser.Parser.isSet(parser.Version)) {
    Out << "hillograph " << HILLOGRAPH_VERSION << "\n";
    status = 0;
  }
  Out.flush();
  return status;
}

std::optional<int> RefuseWithoutDisplay(const QStringList& Arguments,
                                        const QProcessEnvironment& Environment, QTextStream& Err) {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    if (!Environment.value(QString::fromLatin1(name)).isEmpty()) return std::nullopt;
  }
  for (const QString& argument : Arguments) {
    if (argument == QStringLiteral("-platform") || argument == QStringLiteral("--platform")) {
      return std::nullopt;
    }
  }
  Err << "hillograph: the window needs a graphical session (no DISPLAY or WAYLAND_DISPLAY is set);"
         " hillograph-render draws maps without one\n";
  Err.flush();
  return 1;
}

QString ReadStartUpFile(const QStringList& Arguments, QTextStream& Err) {
  TParser parser;
  // An unknown option does not stop the window: it is named and left aside.
  if (!parser.Parser.parse(Arguments)) {
    Err << "hillograph: " << parser.Parser.errorText() << " Ignored.\n";
  }
  QStringList files = parser.Parser.positionalArguments();
  const QString file = files.isEmpty() ? QString() : files.takeFirst();
  for (const QString& extra : files)
    Err << "hillograph: one file at a time; ignored " << extra << "\n";
  Err.flush();
  return file;
}

bool ResetRequested(const QStringList& Arguments) {
  TParser parser;
  parser.Parser.parse(Arguments);
  return parser.Parser.isSet(parser.Reset);
}

void LoadStartUpPreset(TfrmMain& Main, const QString& FileName) {
  HandleEvent([&] {
    // The open dialog offers only files that exist; a name from the command line is held to the
    // same, so that a typo shows a message instead of a map of the preset defaults.
    TProfile(QFile::encodeName(FileName).toStdString()).ReadExisting();
    // Showing the window renders the map; a load that ticks "Automatic refresh" would render it
    // once more before anyone could see it.
    const QSignalBlocker noRender(Main.cbAutoRefresh);
    Main.LoadPreset(FileName);
  });
}

}  // namespace hillograph
