// The window's command line: an optional preset file to start with, --help and --version. The
// window reads nothing else from it.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QProcessEnvironment;
class QTextStream;

namespace hillograph {

class TfrmMain;

// Answers --help and --version on Out; they need no display, so this runs before the application
// object exists and Arguments (the program's name first) may still hold the toolkit's own options.
// Gives the exit status when it answered, nothing otherwise.
std::optional<int> AnswerHelpOrVersion(const QStringList& Arguments, QTextStream& Out);

// Without a display to open (no DISPLAY or WAYLAND_DISPLAY in Environment) and no platform chosen
// (QT_QPA_PLATFORM, or -platform among Arguments), says in one line on Err that the window needs a
// graphical session and gives the exit status 1, before the toolkit would abort; nothing otherwise.
std::optional<int> RefuseWithoutDisplay(const QStringList& Arguments,
                                        const QProcessEnvironment& Environment, QTextStream& Err);

// The preset file named in Arguments (the program's name first, the toolkit's own options already
// taken out), or an empty name. An unknown option or a second file is ignored with a message on
// Err.
QString ReadStartUpFile(const QStringList& Arguments, QTextStream& Err);

// Whether Arguments hold --reset: the window starts clean and forgets what earlier runs kept.
bool ResetRequested(const QStringList& Arguments);

// Loads the preset named on the command line into the window before it is first shown, as "Load
// preset..." loads it; the first render, when the window is shown, is then of the preset. A file
// that cannot be loaded shows its message through the top-level handler and leaves the start-up
// values.
void LoadStartUpPreset(TfrmMain& Main, const QString& FileName);

}  // namespace hillograph
