#include "synthesis/base/WorkerTeam.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <iterator>
#include <thread>

#include "synthesis/base/ArgumentCheck.h"

namespace hillograph {
namespace {

// Spins between looks at the clock: a look costs far more than a spin.
constexpr int SpinsPerClockRead = 64;

void Pause() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

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
  bool elsewhere = false;
  int processors = 0;
#else
  bool elsewhere = false;
  int processors = 0;
#endif
};

}  // namespace

std::int32_t AvailableProcessors() {
  const int fromAffinity = TPlacement().processors;
  const auto processors =
      fromAffinity > 0 ? static_cast<unsigned>(fromAffinity) : std::thread::hardware_concurrency();
  return static_cast<std::int32_t>(std::clamp<unsigned>(processors, 1, MaxTeamMembers));
}

// One helper's thread, started on another processor than its creator's where there is one, and
// then let run anywhere. Joined on destruction, once the team has let it go.
class TWorkerTeam::THelper {
 public:
  THelper(TWorkerTeam& team, std::int32_t member, const TPlacement& placement)
      : team_(team), member_(member), placement_(placement) {}

  ~THelper() {
    if (started_) pthread_join(thread_, nullptr);
  }

  THelper(const THelper&) = delete;
  THelper& operator=(const THelper&) = delete;

  bool Start() {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return false;
#ifdef __linux__
    if (placement_.elsewhere) {
      // A placement refused only leaves the thread where the system puts it.
      pthread_attr_setaffinity_np(&attributes, sizeof placement_.others, &placement_.others);
    }
#endif
    started_ = pthread_create(&thread_, &attributes, &Main, this) == 0;
    pthread_attr_destroy(&attributes);
    return started_;
  }

 private:
  static void* Main(void* self) {
    auto& helper = *static_cast<THelper*>(self);
#ifdef __linux__
    if (helper.placement_.elsewhere) {
      pthread_setaffinity_np(pthread_self(), sizeof helper.placement_.allowed,
                             &helper.placement_.allowed);
    }
#endif
    helper.team_.HelperLoop(helper.member_);
    return nullptr;
  }

  TWorkerTeam& team_;
  std::int32_t member_;
  const TPlacement placement_;
  pthread_t thread_{};
  bool started_ = false;
};

TWorkerTeam::TWorkerTeam(std::int32_t Members) {
  CheckArgument("Members", Members, 1, MaxTeamMembers);
  if (Members == 1) return;
  const TPlacement placement;
  spins_ = AvailableProcessors() >= Members;
  // Reserved ahead, so that letting helpers go never needs memory.
  helpers_.reserve(static_cast<std::size_t>(Members - 1));
  leaving_.reserve(static_cast<std::size_t>(Members - 1));
  try {
    for (std::int32_t member = 1; member < Members; ++member) {
      auto helper = std::make_unique<THelper>(*this, member, placement);
      if (!helper->Start()) break;
      helpers_.push_back(std::move(helper));
    }
  } catch (...) {
    Shrink(1);  // those started wait for a pass and would never be joined
    throw;
  }
}

TWorkerTeam::~TWorkerTeam() {
  if (Members() > 1) Shrink(1);
}  // the helpers are joined as the lists of them go

void TWorkerTeam::Shrink(std::int32_t Members) {
  CheckArgument("Members", Members, 1, this->Members());
  if (Members == this->Members()) return;
  Post({.call = nullptr, .work = nullptr, .count = 1, .keep = Members});
  // Joined only when the team goes: by then they have long left, and a join now would wait for
  // a thread's end in the middle of the work.
  const auto first = helpers_.begin() + (Members - 1);
  leaving_.insert(leaving_.end(), std::make_move_iterator(first),
                  std::make_move_iterator(helpers_.end()));
  helpers_.erase(first, helpers_.end());
}

void TWorkerTeam::RunPass(std::int32_t count, void* work, TCall call) {
  CheckArgument("Count", count, 1, MaxTeamMembers);
  count = std::min(count, Members());
  if (count > 1) Post({.call = call, .work = work, .count = count, .keep = Members()});
  call(work, 0);
  if (count > 1) AwaitHelpers();
}

void TWorkerTeam::Post(const TPass& pass) {
  // Every helper answers every pass, those not in it as soon as they have read it, so that pass_
  // is not written again while any helper may still read it.
  AwaitHelpers();
  pass_ = pass;
  busy_.store(static_cast<std::uint32_t>(helpers_.size()), std::memory_order_relaxed);
  posted_.fetch_add(1, std::memory_order_release);
  posted_.notify_all();
}

void TWorkerTeam::AwaitHelpers() {
  for (std::uint32_t busy = busy_.load(std::memory_order_acquire); busy != 0;)
    busy = AwaitChange(busy_, busy);
}

void TWorkerTeam::HelperLoop(std::int32_t member) noexcept {
  for (std::uint32_t seen = 0;;) {
    seen = AwaitChange(posted_, seen);
    const TPass pass = pass_;
    if (member < pass.count) pass.call(pass.work, member);
    if (busy_.fetch_sub(1, std::memory_order_acq_rel) == 1) busy_.notify_all();
    if (member >= pass.keep) return;
  }
}

std::uint32_t TWorkerTeam::AwaitChange(const std::atomic<std::uint32_t>& Value,
                                       std::uint32_t Old) const {
  if (spins_) {
    const auto until = std::chrono::steady_clock::now() + TeamSpinTime;
    do {
      for (int spin = 0; spin < SpinsPerClockRead; ++spin) {
        const std::uint32_t now = Value.load(std::memory_order_acquire);
        if (now != Old) return now;
        Pause();
      }
    } while (std::chrono::steady_clock::now() < until);
  }
  for (;;) {
    Value.wait(Old, std::memory_order_acquire);
    const std::uint32_t now = Value.load(std::memory_order_acquire);
    if (now != Old) return now;
  }
}

}  // namespace hillograph
