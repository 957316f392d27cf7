#include "synthesis/parallel/WorkerTeam.h"

#include <algorithm>
#include <system_error>

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

}  // namespace

TWorkerTeam::TWorkerTeam(std::int32_t Members, std::chrono::microseconds Spin) {
  CheckArgument("Members", Members, 1, MaxTeamMembers);
  CheckArgument("Spin", Spin.count(), 0, MaxTeamSpin.count());
  if (Members == 1) return;
  if (AvailableProcessors() >= Members) spin_ = Spin;
  helpers_ = std::make_unique<THelper[]>(static_cast<std::size_t>(Members - 1));
  try {
    for (; members_ < Members; ++members_) {
      const std::int32_t member = members_;
      THelper& helper = helpers_[static_cast<std::size_t>(member - 1)];
      helper.thread = TPlacedThread([this, member, &helper] { HelperLoop(member, helper.posted); });
    }
  } catch (const std::system_error&) {
    // A helper that cannot be started leaves the team smaller.
  } catch (...) {
    Dismiss();  // those started wait for a pass and would never be joined
    throw;
  }
  limit_ = members_;
}

TWorkerTeam::~TWorkerTeam() {
  Dismiss();
}

void TWorkerTeam::Dismiss() noexcept {
  if (members_ == 1) return;
  Post({.call = nullptr, .work = nullptr}, members_);
  // All told first, so that they leave side by side; joined as the threads go.
  helpers_.reset();
  members_ = limit_ = 1;
}

void TWorkerTeam::Rest() {
  rests_.fetch_add(1, std::memory_order_relaxed);
}

void TWorkerTeam::RunPass(std::int32_t count, void* work, TCall call) {
  CheckArgument("Count", count, 1, MaxTeamMembers);
  count = std::min(count, limit_);
  if (count > 1) Post({.call = call, .work = work}, count);
  call(work, 0);
  if (count > 1) AwaitHelpers();
}

void TWorkerTeam::Post(const TPass& pass, std::int32_t count) {
  // pass_ is not written again while a helper of the pass before may still read it.
  AwaitHelpers();
  pass_ = pass;
  busy_.store(pass.call != nullptr ? static_cast<std::uint32_t>(count - 1) : 0,
              std::memory_order_relaxed);
  for (std::int32_t member = 1; member < count; ++member) {
    std::atomic<std::uint32_t>& posted = helpers_[static_cast<std::size_t>(member - 1)].posted;
    posted.fetch_add(1, std::memory_order_release);
    posted.notify_one();
  }
}

void TWorkerTeam::AwaitHelpers() {
  for (std::uint32_t busy = busy_.load(std::memory_order_acquire); busy != 0;)
    busy = AwaitChange(busy_, busy);
}

void TWorkerTeam::HelperLoop(std::int32_t member,
                             const std::atomic<std::uint32_t>& posted) noexcept {
  std::uint32_t rests = rests_.load(std::memory_order_relaxed);
  for (std::uint32_t seen = 0;;) {
    seen = Await(posted, seen, rests);
    const TPass pass = pass_;
    if (pass.call == nullptr) return;
    pass.call(pass.work, member);
    // Read before the pass is answered, so that a rest the owner asks for after it is not missed.
    rests = rests_.load(std::memory_order_relaxed);
    if (busy_.fetch_sub(1, std::memory_order_acq_rel) == 1) busy_.notify_one();
  }
}

std::uint32_t TWorkerTeam::AwaitChange(const std::atomic<std::uint32_t>& Value,
                                       std::uint32_t Old) const {
  return Await(Value, Old, rests_.load(std::memory_order_relaxed));
}

std::uint32_t TWorkerTeam::Await(const std::atomic<std::uint32_t>& value, std::uint32_t old,
                                 std::uint32_t rests) const {
  if (spin_.count() > 0) {
    // Until the time is up or the team is told to rest.
    const auto until = std::chrono::steady_clock::now() + spin_;
    do {
      for (int spin = 0; spin < SpinsPerClockRead; ++spin) {
        const std::uint32_t now = value.load(std::memory_order_acquire);
        if (now != old) return now;
        Pause();
      }
    } while (std::chrono::steady_clock::now() < until &&
             rests_.load(std::memory_order_relaxed) == rests);
  }
  for (;;) {
    value.wait(old, std::memory_order_acquire);
    const std::uint32_t now = value.load(std::memory_order_acquire);
    if (now != old) return now;
  }
}

TTeamLimit::TTeamLimit(TWorkerTeam& Team, std::int32_t Members) : team_(Team), saved_(Team.limit_) {
  CheckArgument("Members", Members, 1, saved_);
  team_.limit_ = Members;
}

}  // namespace hillograph
