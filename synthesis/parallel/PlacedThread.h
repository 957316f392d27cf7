// Threads started on another processor than their creator's. A new thread otherwise often starts
// on its creator's core and, on virtual machines, waits there for the creator's time slice to
// end: milliseconds, longer than the work it was started for.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "synthesis/platform/Threads.h"

namespace hillograph {

// The processors this process may run on, counted up to MaxCountedProcessors.
inline constexpr std::int32_t MaxCountedProcessors = 256;
std::int32_t AvailableProcessors();

// A thread that starts on another processor than its creator's where there is one, and may then
// run anywhere. Waits for its body to return when it goes.
class TPlacedThread {
 public:
  TPlacedThread() noexcept;  // no thread
  // Starts Body, which must not throw; throws std::system_error when no thread can be started.
  explicit TPlacedThread(std::function<void()> Body);
  ~TPlacedThread();

  TPlacedThread(TPlacedThread&&) noexcept;
  // Waits for its own thread first.
  TPlacedThread& operator=(TPlacedThread&& Other) noexcept;

  bool Started() const { return thread_ != nullptr; }
  // Waits for the body to return; then no thread is left.
  void Join() noexcept;

 private:
  platform::TThread thread_;
};

}  // namespace hillograph
