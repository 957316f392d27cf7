// The window's command line: an optional preset file to start with, --help and --version. The
// window reads nothing else from it.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QTextStream;

namespace hillograph {

class TfrmMain;

struct TStartUpArguments {
  QString PresetFile;             // empty: start with the start-up values
  std::optional<int> ExitStatus;  // set: the request was answered (--help, --version); end now
};

// Reads Arguments (the program's name first). Help and version go to Out; an unknown option or a
// second file is ignored with a message on Err.
TStartUpArguments ReadStartUpArguments(const QStringList& Arguments, QTextStream& Out,
                                       QTextStream& Err);

// Loads the preset named on the command line into the window before it is first shown, as "Load
// preset..." loads it; the first render, when the window is shown, is then of the preset. A file
// that cannot be loaded shows its message through the top-level handler and leaves the start-up
// values.
void LoadStartUpPreset(TfrmMain& Main, const QString& FileName);

}  // namespace hillograph
