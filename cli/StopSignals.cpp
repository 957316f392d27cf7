#include "cli/StopSignals.h"

#include <atomic>

#include "synthesis/base/Error.h"
#include "synthesis/files/LiveTemporaries.h"
#include "synthesis/platform/Signals.h"

namespace hillograph {
namespace {

std::atomic<int> received{0};
std::atomic<bool> catching{false};
static_assert(std::atomic<int>::is_always_lock_free, "read and written by a signal handler");

void OnStopSignal(int signal) {
  int none = 0;
  if (received.compare_exchange_strong(none, signal)) return;
  // Asked again by Ctrl+C: the user does not want to wait for the work to reach a check.
  if (signal == platform::InterruptSignal) {
    RemoveLiveTemporaries();
    platform::ExitNow(SignalExitBase + signal);
  }
}

}  // namespace

TStopSignals::TStopSignals() {
  if (catching.exchange(true)) throw TError("Stop signals are caught once at a time");
  received = 0;
  platform::CatchStopSignals(&OnStopSignal);
}

// Once stopping, the process ends soon: a second Ctrl+C until then still quits without a trace
// instead of ending the process by the signal.
TStopSignals::~TStopSignals() {
  if (received.load() == 0) platform::ReleaseStopSignals();
  catching = false;
}

int TStopSignals::Received() {
  return received.load();
}

void ThrowIfStopped() {
  if (const int signal = received.load()) throw TStopped(signal);
}

void TStopCheck::Report(std::string_view Stage, double Fraction) {
  ThrowIfStopped();
  if (next_ != nullptr) next_->Report(Stage, Fraction);
}

}  // namespace hillograph
