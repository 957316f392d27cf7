#include "synthesis/platform/Signals.h"

#include <cerrno>
#include <cstdlib>
#include <iterator>

#if __has_include(<unistd.h>) && __has_include(<signal.h>)
#include <signal.h>
#include <unistd.h>
#define HILLOGRAPH_POSIX_SIGNALS 1
#else
#include <cstdio>
#endif

namespace hillograph::platform {

#ifdef HILLOGRAPH_POSIX_SIGNALS
static_assert(InterruptSignal == SIGINT && TerminateSignal == SIGTERM && HangUpSignal == SIGHUP);

namespace {

constexpr int StopSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction saved[std::size(StopSignals)];

}  // namespace

void CatchStopSignals(TSignalHandler Handler) {
  struct sigaction action {};
  action.sa_handler = Handler;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < std::size(StopSignals); ++i) {
    ::sigaction(StopSignals[i], nullptr, &saved[i]);
    // A signal the starting program ignores (nohup, a background job) stays ignored.
    if (saved[i].sa_handler != SIG_IGN) ::sigaction(StopSignals[i], &action, nullptr);
  }
}

void ReleaseStopSignals() {
  for (std::size_t i = 0; i < std::size(StopSignals); ++i)
    ::sigaction(StopSignals[i], &saved[i], nullptr);
}

int RemoveNow(const char* Path) {
  return ::unlink(Path) == 0 ? 0 : errno;
}

void ExitNow(int Status) {
  ::_exit(Status);
}

#else  // a system without POSIX signals: the program ends as the system ends it

void CatchStopSignals(TSignalHandler) {}
void ReleaseStopSignals() {}

int RemoveNow(const char* Path) {
  return std::remove(Path) == 0 ? 0 : errno;
}

void ExitNow(int Status) {
  std::_Exit(Status);
}

#endif

}  // namespace hillograph::platform
