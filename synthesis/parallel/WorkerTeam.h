// A team of threads for the parallel passes of one render: the calling thread and helpers started
// once, which then take part in one pass after another.
//
// Between passes a helper spins for a while before it sleeps. On virtual machines a sleeping
// thread is often woken on its waker's core, whose time slice it then waits out, milliseconds
// later than a pass of a large map takes; a spinning helper takes the next pass at once. For the
// same reason a helper is started on another core than its creator's.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "synthesis/parallel/PlacedThread.h"

namespace hillograph {

inline constexpr std::int32_t MaxTeamMembers = 256;
static_assert(MaxCountedProcessors <= MaxTeamMembers);

// How long a waiting thread spins before it sleeps: longer than the gaps between the passes of a
// render, short enough that a team left idle soon gives its cores back.
inline constexpr std::chrono::microseconds TeamSpinTime{2000};

class TWorkerTeam {
 public:
  // Members is 1 .. MaxTeamMembers, the calling thread among them. A helper that cannot be
  // started leaves the team smaller; the passes do not depend on how many take part. A team of
  // more members than the machine has processors sleeps whenever it waits.
  explicit TWorkerTeam(std::int32_t Members);
  ~TWorkerTeam();

  TWorkerTeam(const TWorkerTeam&) = delete;
  TWorkerTeam& operator=(const TWorkerTeam&) = delete;

  std::int32_t Members() const { return static_cast<std::int32_t>(helpers_.size()) + 1; }

  // Runs Work(member) on min(Count, Members()) members at once (Count 1 .. MaxTeamMembers), the
  // calling thread as member 0, and returns when every one has returned. Work must not throw.
  template <class TWork>
  void Run(std::int32_t Count, TWork& Work) {
    static_assert(std::is_nothrow_invocable_v<TWork&, std::int32_t>);
    RunPass(Count, const_cast<void*>(static_cast<const void*>(&Work)),
            [](void* work, std::int32_t member) noexcept { (*static_cast<TWork*>(work))(member); });
  }

  // Lets the helpers from member Members on go (Members 1 .. Members()), so that their cores are
  // free for other work; returns without waiting for them.
  void Shrink(std::int32_t Members);

  // Until Value differs from Old, spinning first if the team spins; returns the value then.
  std::uint32_t AwaitChange(const std::atomic<std::uint32_t>& Value, std::uint32_t Old) const;

 private:
  using TCall = void (*)(void*, std::int32_t) noexcept;

  struct TPass {
    TCall call = nullptr;
    void* work = nullptr;
    std::int32_t count = 0;  // members 0 .. count - 1 run it
    std::int32_t keep = 0;   // members from keep on leave after it
  };

  void RunPass(std::int32_t count, void* work, TCall call);
  // Hands a pass to every helper, once all have answered the one before.
  void Post(const TPass& pass);
  void AwaitHelpers();
  void HelperLoop(std::int32_t member) noexcept;

  bool spins_ = false;
  TPass pass_;
  std::atomic<std::uint32_t> posted_ = 0;  // how many passes have been posted
  std::atomic<std::uint32_t> busy_ = 0;    // helpers yet to finish the current pass
  std::vector<TPlacedThread> helpers_;
  std::vector<TPlacedThread> leaving_;  // let go, not yet joined
};

// Work(item, member) for every item 0 .. Count - 1 once, shared out among the first Members
// members of Team (on the calling thread alone without a team): each takes the next item when it
// is done with one, so that a member that starts late takes fewer. Work must not throw.
template <class TWork>
void ShareOut(TWorkerTeam* Team, std::int32_t Members, std::int32_t Count, const TWork& Work) {
  static_assert(std::is_nothrow_invocable_v<const TWork&, std::int32_t, std::int32_t>);
  std::atomic<std::int32_t> next = 0;
  const auto take = [&](std::int32_t member) noexcept {
    for (std::int32_t item; (item = next++) < Count;)
      Work(item, member);
  };
  if (Team != nullptr && Members > 1) {
    Team->Run(Members, take);
  } else {
    take(0);
  }
}

}  // namespace hillograph
