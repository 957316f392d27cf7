#include "synthesis/base/Random.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace hillograph {
namespace {

TEST(RandomTest, WorkedDraws) {
  const struct {
    std::uint32_t seed;
    std::int32_t range, value;
    std::uint32_t after;
  } cases[] = {{0, 1, 0, 1},
               {1, 1, 0, 134775814},
               {123456789, 255, 138, NextRandState(123456789)},  // the default map's corners
               {NextRandState(NextRandState(NextRandState(123456789))), 255, 8, 145889505},
               {987654321, 0, 0, NextRandState(987654321)}};  // an empty range still steps
  for (const auto& c : cases) {
    RandSeed = c.seed;
    EXPECT_EQ(Random(c.range), c.value) << c.seed;
    EXPECT_EQ(RandSeed, c.after) << c.seed;
  }
  RandSeed = 42;
  for (int i = 0; i < 1000; ++i) {  // two takes the top bit of the new state
    const auto bit = static_cast<std::uint32_t>(Random(2));
    ASSERT_EQ(bit, RandSeed >> 31);
  }
}

TEST(RandomTest, FractionIsStateOver2To32) {
  // The state before s is (s - 1) times the inverse of the multiplier, mod 2^32.
  std::uint32_t inverse = 1;
  for (int i = 0; i < 5; ++i)
    inverse *= 2 - RandMultiplier * inverse;  // Newton steps
  RandSeed = (0u - 1u) * inverse;
  EXPECT_EQ(Random(), 0.0);
  RandSeed = (0xFFFFFFFFu - 1u) * inverse;
  EXPECT_EQ(Random(), 4294967295.0 / 4294967296.0);
}

}  // namespace
}  // namespace hillograph
