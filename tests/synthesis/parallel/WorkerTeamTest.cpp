#include "synthesis/parallel/WorkerTeam.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>
#include <vector>

#include "synthesis/base/Error.h"

namespace hillograph {
namespace {

// Every pass runs each of its members exactly once, the caller as member 0, and is over when Run
// returns; passes follow one another on the same helpers, also while a limit holds some back,
// after the team was told to rest, and once the limit has gone.
TEST(WorkerTeamTest, RunsEachMemberOncePerPass) {
  struct TCase {
    std::int32_t members;
    std::int32_t count;
    std::int32_t limit;  // what a TTeamLimit holds for the middle third of the passes
    std::chrono::microseconds spin;
  };
  const TCase cases[] = {
      {1, 4, 1, ShortTeamSpin},
      {2, 2, 2, LongTeamSpin},
      {2, 1, 2, ShortTeamSpin},
      {2, 2, 1, std::chrono::microseconds{0}},
      {3, 3, 2, ShortTeamSpin},
      {3, 2, 3, LongTeamSpin},
      {4, 8, 3, std::chrono::microseconds{0}},
      {MaxTeamMembers, MaxTeamMembers, 9, ShortTeamSpin},
  };
  constexpr int Passes = 42;
  for (const auto& [members, count, limit, spin] : cases) {
    TWorkerTeam team(members, spin);
    ASSERT_EQ(team.Members(), members);
    std::optional<TTeamLimit> held;
    for (int pass = 0; pass < Passes; ++pass) {
      if (pass == Passes / 3) held.emplace(team, limit);
      if (pass == 2 * Passes / 3) held.reset();
      if (pass % 5 == 0) team.Rest();
      const std::int32_t running = std::min(count, held ? limit : members);
      ASSERT_EQ(team.Members(), held ? limit : members);
      std::vector<std::atomic<int>> runs(MaxTeamMembers);
      std::atomic<bool> callerIsZero = false;
      const auto work = [&, caller = std::this_thread::get_id()](std::int32_t member) noexcept {
        ++runs[static_cast<std::size_t>(member)];
        if (member == 0) callerIsZero = std::this_thread::get_id() == caller;
      };
      team.Run(count, work);
      for (std::int32_t member = 0; member < MaxTeamMembers; ++member) {
        ASSERT_EQ(runs[static_cast<std::size_t>(member)], member < running ? 1 : 0)
            << members << " members, " << count << " asked, pass " << pass << ", member " << member;
      }
      ASSERT_TRUE(callerIsZero);
    }
  }
}

// The members of a pass run at the same time: each waits for a sign from the next before it
// signs to the one before, which only ends if all are running at once.
TEST(WorkerTeamTest, MembersRunSideBySideAndAwaitEachOther) {
  for (const std::int32_t members : {2, 3, 16}) {
    TWorkerTeam team(members);
    for (int pass = 0; pass < 20; ++pass) {
      std::vector<std::atomic<std::uint32_t>> signs(static_cast<std::size_t>(members));
      const auto work = [&](std::int32_t member) noexcept {
        const auto next = static_cast<std::size_t>(member + 1);
        if (next < signs.size()) team.AwaitChange(signs[next], 0);
        signs[static_cast<std::size_t>(member)] = 1;
        signs[static_cast<std::size_t>(member)].notify_all();
      };
      team.Run(members, work);
      for (const auto& sign : signs)
        ASSERT_EQ(sign, 1u) << members << " members, pass " << pass;
    }
  }
}

TEST(WorkerTeamTest, RefusesCountsOutOfRange) {
  for (const std::int32_t members : {0, -1, MaxTeamMembers + 1})
    EXPECT_THROW(TWorkerTeam{members}, TError) << members;
  TWorkerTeam team(3);
  const auto work = [](std::int32_t) noexcept {};
  for (const std::int32_t count : {0, MaxTeamMembers + 1})
    EXPECT_THROW(team.Run(count, work), TError) << count;
  for (const std::int32_t limit : {0, 4})
    EXPECT_THROW(TTeamLimit(team, limit), TError) << limit;
  EXPECT_EQ(team.Members(), 3);
  for (const auto spin :
       {std::chrono::microseconds{-1}, MaxTeamSpin + std::chrono::microseconds{1}})
    EXPECT_THROW(TWorkerTeam(2, spin), TError) << spin.count();
}

}  // namespace
}  // namespace hillograph
