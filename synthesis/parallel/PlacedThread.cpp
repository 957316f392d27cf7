#include "synthesis/parallel/PlacedThread.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <system_error>
#include <thread>

namespace hillograph {
namespace {

// The processors this process may run on, and all of them but the caller's, where the system
// tells them.
struct TPlacement {
#ifdef __linux__
  TPlacement() {
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) return;
    processors = CPU_COUNT(&allowed);
    const int here = sched_getcpu();
    if (processors < 2 || here < 0 || here >= CPU_SETSIZE || !CPU_ISSET(here, &allowed)) return;
    others = allowed;
    CPU_CLR(here, &others);
    elsewhere = true;
  }
  cpu_set_t allowed;
  cpu_set_t others;
#endif
  bool elsewhere = false;
  int processors = 0;
};

}  // namespace

std::int32_t AvailableProcessors() {
  const int fromAffinity = TPlacement().processors;
  const auto processors =
      fromAffinity > 0 ? static_cast<unsigned>(fromAffinity) : std::thread::hardware_concurrency();
  return static_cast<std::int32_t>(std::clamp<unsigned>(processors, 1, MaxCountedProcessors));
}

struct TPlacedThread::TState {
  std::function<void()> body;
  TPlacement placement;
  pthread_t thread{};

  static void* Main(void* self) {
    auto& state = *static_cast<TState*>(self);
#ifdef __linux__
    // Placed: from here on the system may move it wherever it likes.
    if (state.placement.elsewhere) {
      pthread_setaffinity_np(pthread_self(), sizeof state.placement.allowed,
                             &state.placement.allowed);
    }
#endif
    state.body();
    return nullptr;
  }
};

TPlacedThread::TPlacedThread(std::function<void()> Body)
    : state_(std::make_unique<TState>(TState{std::move(Body), TPlacement(), {}})) {
  pthread_attr_t attributes;
  if (const int error = pthread_attr_init(&attributes)) {
    state_.reset();
    throw std::system_error(error, std::generic_category());
  }
#ifdef __linux__
  if (state_->placement.elsewhere) {
    // A placement refused only leaves the thread where the system puts it.
    pthread_attr_setaffinity_np(&attributes, sizeof state_->placement.others,
                                &state_->placement.others);
  }
#endif
  const int error = pthread_create(&state_->thread, &attributes, &TState::Main, state_.get());
  pthread_attr_destroy(&attributes);
  if (error != 0) {
    state_.reset();
    throw std::system_error(error, std::generic_category());
  }
}

TPlacedThread::TPlacedThread() noexcept = default;

TPlacedThread::~TPlacedThread() {
  Join();
}

TPlacedThread::TPlacedThread(TPlacedThread&&) noexcept = default;

TPlacedThread& TPlacedThread::operator=(TPlacedThread&& Other) noexcept {
  Join();
  state_ = std::move(Other.state_);
  return *this;
}

void TPlacedThread::Join() noexcept {
  if (state_ == nullptr) return;
  pthread_join(state_->thread, nullptr);
  state_.reset();
}

}  // namespace hillograph
