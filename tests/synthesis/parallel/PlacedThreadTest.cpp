#include "synthesis/parallel/PlacedThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace hillograph {
namespace {

// A body runs once on a thread of its own and has returned after Join; a thread given a new body
// finishes the old one first; an empty one has nothing to wait for.
TEST(PlacedThreadTest, RunsItsBodyOnceAndWaitsForIt) {
  std::atomic<int> runs = 0;
  std::atomic<bool> elsewhere = false;
  const auto caller = std::this_thread::get_id();
  TPlacedThread thread([&] {
    elsewhere = std::this_thread::get_id() != caller;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ++runs;
  });
  EXPECT_TRUE(thread.Started());
  thread = TPlacedThread([&] { runs += 10; });
  EXPECT_GE(runs, 1);  // the first body has returned
  thread.Join();
  EXPECT_EQ(runs, 11);
  EXPECT_TRUE(elsewhere);
  EXPECT_FALSE(thread.Started());
  TPlacedThread empty;
  EXPECT_FALSE(empty.Started());
  empty.Join();
  EXPECT_GE(AvailableProcessors(), 1);
  EXPECT_LE(AvailableProcessors(), MaxCountedProcessors);
}

}  // namespace
}  // namespace hillograph
