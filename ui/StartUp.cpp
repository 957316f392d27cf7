#include "ui/StartUp.h"

#include <QCheckBox>
#include <QCommandLineParser>
#include <QFile>
#include <QSignalBlocker>
#include <QTextStream>

#include "parameters/Profile.h"
#include "ui/Application.h"
#include "ui/Main.h"

namespace hillograph {

TStartUpArguments ReadStartUpArguments(const QStringList& Arguments, QTextStream& Out,
                                       QTextStream& Err) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Draws imaginary relief maps."));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("file"),
                               QStringLiteral("A preset file (.hpf) to start with."),
                               QStringLiteral("[file]"));

  TStartUpArguments result;
  // An unknown option does not stop the window: it is named and left aside.
  if (!parser.parse(Arguments)) Err << "hillograph: " << parser.errorText() << " Ignored.\n";
  if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
    Out << parser.helpText();
    result.ExitStatus = 0;
  } else if (parser.isSet(version)) {
    Out << "hillograph " << HILLOGRAPH_VERSION << "\n";
    result.ExitStatus = 0;
  } else {
    QStringList files = parser.positionalArguments();
    if (!files.isEmpty()) result.PresetFile = files.takeFirst();
    for (const QString& file : files)
      Err << "hillograph: one file at a time; ignored " << file << "\n";
  }
  Out.flush();
  Err.flush();
  return result;
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
