// The signals that ask a program to stop (SIGINT, SIGTERM, SIGHUP), and the calls a handler of
// them may make: nothing here allocates, locks or throws.
#pragma once

namespace hillograph::platform {

inline constexpr int InterruptSignal = 2;   // SIGINT, Ctrl+C
inline constexpr int TerminateSignal = 15;  // SIGTERM
inline constexpr int HangUpSignal = 1;      // SIGHUP

using TSignalHandler = void (*)(int Signal);

// Calls Handler on each of the three signals from now on, instead of ending the process, except
// those the process ignores; where the system has no such signals, does nothing. Calls
// interrupted by them are restarted.
void CatchStopSignals(TSignalHandler Handler);
// The handling from before CatchStopSignals again.
void ReleaseStopSignals();

// Removes the file. May be called from a signal handler.
int RemoveNow(const char* Path);
// Ends the process with Status at once: no destructors, no buffered output.
[[noreturn]] void ExitNow(int Status);

}  // namespace hillograph::platform
