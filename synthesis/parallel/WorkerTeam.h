// A team of threads for the parallel passes of renders: the calling thread and helpers started
// once, which then take part in one pass after another for as long as the team lives. Its owner
// keeps it from render to render (the window for its life, a command-line run or a batch job for
// theirs), so that no render waits for threads to start.
//
// Between passes a waiting member may spin for a while before it sleeps. On virtual machines a
// sleeping thread is often woken on its waker's core, whose time slice it then waits out,
// milliseconds later than a pass of a large map takes; a spinning helper takes the next pass at
// once. How long is the owner's choice: a run that renders and exits may spin long, a window that
// waits for its user barely. Rest() sends the helpers to sleep at once. For the same reason a
// helper is started on another core than its creator's.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <type_traits>

#include "synthesis/parallel/PlacedThread.h"

namespace hillograph {

inline constexpr std::int32_t MaxTeamMembers = 256;
static_assert(MaxCountedProcessors <= MaxTeamMembers);

// How long a waiting member spins before it sleeps. Long: beyond the gaps between the passes of a
// render, for a run whose cores have nothing else to do. Short: the gaps between passes that
// follow one another at once, for an owner that cares for the cores it leaves idle.
inline constexpr std::chrono::microseconds LongTeamSpin{2000};
inline constexpr std::chrono::microseconds ShortTeamSpin{100};
inline constexpr std::chrono::microseconds MaxTeamSpin{1'000'000};

// What the renders on a team keep from one to the next beside its threads, such as the plasma's
// plan for a size: it goes with the team.
class TTeamKeepsake {
 public:
  virtual ~TTeamKeepsake() = default;
};

class TWorkerTeam {
 public:
  // Members is 1 .. MaxTeamMembers, the calling thread among them; Spin 0 .. MaxTeamSpin. A
  // helper that cannot be started leaves the team smaller; the passes do not depend on how many
  // take part. A team of more members than the machine has processors sleeps whenever it waits.
  explicit TWorkerTeam(std::int32_t Members, std::chrono::microseconds Spin = ShortTeamSpin);
  ~TWorkerTeam();

  TWorkerTeam(const TWorkerTeam&) = delete;
  TWorkerTeam& operator=(const TWorkerTeam&) = delete;

  // The members that take part in passes: all of them unless a TTeamLimit holds fewer back.
  std::int32_t Members() const { return limit_; }

  // Runs Work(member) on min(Count, Members()) members at once (Count 1 .. MaxTeamMembers), the
  // calling thread as member 0, and returns when every one has returned. Work must not throw.
  // Only the owner's thread runs passes, one at a time.
  template <class TWork>
  void Run(std::int32_t Count, TWork& Work) {
    static_assert(std::is_nothrow_invocable_v<TWork&, std::int32_t>);
    RunPass(Count, const_cast<void*>(static_cast<const void*>(&Work)),
            [](void* work, std::int32_t member) noexcept { (*static_cast<TWork*>(work))(member); });
  }

  // Helpers waiting for a pass stop spinning and sleep until the next one, so that their cores
  // are free for other work. Cheap: it wakes no one.
  void Rest();

  // Until Value differs from Old, spinning first if the team spins; returns the value then.
  std::uint32_t AwaitChange(const std::atomic<std::uint32_t>& Value, std::uint32_t Old) const;

  // The owner's renders keep one thing here between them, for the team's life; only the owner's
  // thread touches it.
  std::unique_ptr<TTeamKeepsake>& Keepsake() { return keepsake_; }

 private:
  friend class TTeamLimit;
  using TCall = void (*)(void*, std::int32_t) noexcept;

  struct TPass {
    TCall call = nullptr;  // none: the helper leaves
    void* work = nullptr;
  };

  // Each helper waits on a line of its own, so that a pass wakes only the helpers it needs.
  struct alignas(64) THelper {
    std::atomic<std::uint32_t> posted = 0;  // how many passes it has been given
    TPlacedThread thread;
  };

  void RunPass(std::int32_t count, void* work, TCall call);
  // Gives the pass to helpers 1 .. count - 1 once all have finished the one before.
  void Post(const TPass& pass, std::int32_t count);
  void AwaitHelpers();
  // AwaitChange, spinning only until the team has been told to rest more than Rests times.
  std::uint32_t Await(const std::atomic<std::uint32_t>& value, std::uint32_t old,
                      std::uint32_t rests) const;
  // Reads nothing of helpers_, which is gone while the team waits for its threads to end.
  void HelperLoop(std::int32_t member, const std::atomic<std::uint32_t>& posted) noexcept;
  void Dismiss() noexcept;

  std::chrono::microseconds spin_{0};
  TPass pass_;
  alignas(64) std::atomic<std::uint32_t> busy_ = 0;   // helpers yet to finish the current pass
  alignas(64) std::atomic<std::uint32_t> rests_ = 0;  // how often the team was told to rest
  std::unique_ptr<THelper[]> helpers_;                // member m is helpers_[m - 1]
  std::int32_t members_ = 1;                          // the caller and the helpers started
  std::int32_t limit_ = 1;
  std::unique_ptr<TTeamKeepsake> keepsake_;
};

// For its life, the passes of Team run on at most Members of its members (1 .. Team.Members());
// the count comes back when it goes.
class TTeamLimit {
 public:
  TTeamLimit(TWorkerTeam& Team, std::int32_t Members);
  ~TTeamLimit() { team_.limit_ = saved_; }
  TTeamLimit(const TTeamLimit&) = delete;
  TTeamLimit& operator=(const TTeamLimit&) = delete;

 private:
  TWorkerTeam& team_;
  std::int32_t saved_;
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
