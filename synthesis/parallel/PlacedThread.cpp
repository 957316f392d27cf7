#include "synthesis/parallel/PlacedThread.h"

#include <algorithm>
#include <thread>

#include "synthesis/platform/Threads.h"

namespace hillograph {

std::int32_t AvailableProcessors() {
  const int fromSystem = platform::ProcessorsAllowed();
  const auto processors =
      fromSystem > 0 ? static_cast<unsigned>(fromSystem) : std::thread::hardware_concurrency();
  return static_cast<std::int32_t>(std::clamp<unsigned>(processors, 1, MaxCountedProcessors));
}

TPlacedThread::TPlacedThread(std::function<void()> Body)
    : thread_(platform::StartThread(std::move(Body))) {}

TPlacedThread::TPlacedThread() noexcept = default;

TPlacedThread::~TPlacedThread() {
  Join();
}

TPlacedThread::TPlacedThread(TPlacedThread&&) noexcept = default;

TPlacedThread& TPlacedThread::operator=(TPlacedThread&& Other) noexcept {
  Join();
  thread_ = std::move(Other.thread_);
  return *this;
}

void TPlacedThread::Join() noexcept {
  thread_.reset();
}

}  // namespace hillograph
