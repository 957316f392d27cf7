#include "synthesis/parallel/WorkerTeam.h"

#include <algorithm>
#include <iterator>
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

TWorkerTeam::TWorkerTeam(std::int32_t Members) {
  CheckArgument("Members", Members, 1, MaxTeamMembers);
  if (Members == 1) return;
  spins_ = AvailableProcessors() >= Members;
  // Reserved ahead, so that letting helpers go never needs memory.
  helpers_.reserve(static_cast<std::size_t>(Members - 1));
  leaving_.reserve(static_cast<std::size_t>(Members - 1));
  try {
    for (std::int32_t member = 1; member < Members; ++member)
      helpers_.emplace_back([this, member] { HelperLoop(member); });
  } catch (const std::system_error&) {
    // A helper that cannot be started leaves the team smaller.
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
