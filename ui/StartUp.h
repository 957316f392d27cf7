// The window's command line: an optional preset file to start with, --help and --version. The
// window reads nothing else from it.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QTextStream;

namespace hillograph {

class TfrmMain;

// Answers --help and --version on Out; they need no display, so this runs before the application
// object exists and Arguments (the program's name first) may still hold the toolkit's own options.
// Gives the exit status when it answered, nothing otherwise.
std::optional<int> AnswerHelpOrVersion(const QStringList& Arguments, QTextStream& Out);

// The preset file named in Arguments (the program's name first, the toolkit's own options already
// taken out), or an empty name. An unknown option or a second file is ignored with a message on
// Err.
QString ReadStartUpFile(const QStringList& Arguments, QTextStream& Err);

// Loads the preset named on the command line into the window before it is first shown, as "Load
// preset..." loads it; the first render, when the window is shown, is then of the preset. A file
// that cannot be loaded shows its message through the top-level handler and leaves the start-up
// values.
void LoadStartUpPreset(TfrmMain& Main, const QString& FileName);

}  // namespace hillograph
