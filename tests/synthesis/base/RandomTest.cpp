#include "synthesis/base/Random.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace hillograph {
namespace {

TEST(RandomTest, StepsFromZero) {
  RandSeed = 0;
  Random(1);
  EXPECT_EQ(RandSeed, 1u);
  Random(1);
  EXPECT_EQ(RandSeed, 134775814u);
}

TEST(RandomTest, DefaultSeedCorners) {
  RandSeed = 123456789;
  std::vector<std::int32_t> draws;
  for (int i = 0; i < 4; ++i)
    draws.push_back(Random(255));
  EXPECT_EQ(draws, (std::vector<std::int32_t>{138, 100, 99, 8}));
  EXPECT_EQ(RandSeed, 145889505u);
}

TEST(RandomTest, DegenerateRangesStillAdvance) {
  struct Case {
    std::int32_t n;
  };
  for (const Case c : {Case{0}, Case{1}}) {
    RandSeed = 987654321;
    const std::uint32_t next = NextRandState(RandSeed);
    EXPECT_EQ(Random(c.n), 0);
    EXPECT_EQ(RandSeed, next);
  }
}

TEST(RandomTest, TwoIsTheTopBitOfTheNewState) {
  RandSeed = 42;
  for (int i = 0; i < 1000; ++i) {
    const std::int32_t bit = Random(2);
    EXPECT_EQ(static_cast<std::uint32_t>(bit), RandSeed >> 31);
  }
}

TEST(RandomTest, FractionIsStateOver2To32) {
  // The state before 0 is the inverse step of 0: (0 - 1) * multiplier^-1 mod 2^32.
  std::uint32_t inverse = 1;
  for (int i = 0; i < 5; ++i)
    inverse *= 2 - RandMultiplier * inverse;  // Newton step mod 2^32
  ASSERT_EQ(inverse * RandMultiplier, 1u);
  RandSeed = (0u - 1u) * inverse;
  EXPECT_EQ(Random(), 0.0);
  RandSeed = (0xFFFFFFFFu - 1u) * inverse;
  EXPECT_EQ(Random(), 4294967295.0 / 4294967296.0);
}

}  // namespace
}  // namespace hillograph
