// hillograph-render: renders a map through the same core as the window and writes it to a file.
#pragma once

#include <ostream>

namespace hillograph {

inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 1;  // the render or a file failed
inline constexpr int ExitUsage = 2;    // the command line is wrong

// Runs the command; messages go to Out and Err, and the picture of "-o -" to Out, which must then
// not be a terminal. A progress line is drawn on Err only when it is a terminal. Returns the exit
// status.
int RunRenderCommand(int argc, const char* const* argv, std::ostream& Out, std::ostream& Err,
                     bool ErrIsTerminal = false, bool OutIsTerminal = false);

}  // namespace hillograph
