// Ctrl+C (SIGINT), SIGTERM and SIGHUP stop a run cleanly: the first is noted, and the work stops
// at its next check, removing its temporary files and committing the maps that are complete; the
// exit status is then 128 + the signal (130, 143, 129). A second Ctrl+C ends the process at once,
// still removing the temporary files being written.
#pragma once

#include <stdexcept>
#include <string_view>

#include "synthesis/base/Progress.h"

namespace hillograph {

inline constexpr int SignalExitBase = 128;

class TStopSignals {
 public:
  // Catches the signals while it lives; one at a time.
  TStopSignals();
  ~TStopSignals();
  TStopSignals(const TStopSignals&) = delete;
  TStopSignals& operator=(const TStopSignals&) = delete;

  // The first signal received since construction, or 0.
  static int Received();
};

// Thrown by a check after a stop signal.
class TStopped : public std::runtime_error {
 public:
  explicit TStopped(int Signal) : std::runtime_error("stopped"), Signal(Signal) {}
  int Signal;
};

// Throws TStopped when a stop signal came.
void ThrowIfStopped();

// Progress that checks for a stop at every report, then passes the report on to Next (if any).
class TStopCheck : public TProgress {
 public:
  explicit TStopCheck(TProgress* Next = nullptr) : next_(Next) {}
  void Report(std::string_view Stage, double Fraction) override;

 private:
  TProgress* next_;
};

}  // namespace hillograph
