#include "synthesis/parallel/WorkerTeam.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "synthesis/base/Error.h"

namespace hillograph {
namespace {

// Every pass runs each of its members exactly once, the caller as member 0, and is over when Run
// returns; passes follow one another on the same helpers, also after some have been let go.
TEST(WorkerTeamTest, RunsEachMemberOncePerPass) {
  struct TCase {
    std::int32_t members;
    std::int32_t count;
    std::int32_t keep;  // what Shrink leaves before the second half of the passes
  };
  const TCase cases[] = {
      {1, 1, 1}, {1, 4, 1}, {2, 2, 2},
      {2, 1, 2}, {2, 2, 1}, {3, 3, 2},
      {3, 2, 3}, {4, 8, 3}, {MaxTeamMembers, MaxTeamMembers, 9},
  };
  constexpr int Passes = 40;
  for (const auto& [members, count, keep] : cases) {
    TWorkerTeam team(members);
    ASSERT_EQ(team.Members(), members);
    for (int pass = 0; pass < Passes; ++pass) {
      if (pass == Passes / 2) team.Shrink(keep);
      const std::int32_t running = std::min(count, team.Members());
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
    EXPECT_EQ(team.Members(), keep);
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
  for (const std::int32_t keep : {0, 4})
    EXPECT_THROW(team.Shrink(keep), TError) << keep;
  EXPECT_EQ(team.Members(), 3);
}

}  // namespace
}  // namespace hillograph
