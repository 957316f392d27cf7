#include "synthesis/terrain/PlasmaDraws.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "synthesis/base/Random.h"
#include "synthesis/base/RandomJump.h"

namespace hillograph {
namespace {

// One draw made the plain way, as the recursion makes it: magnitude, then sign.
std::int32_t PlainDraw(std::int32_t diversity) {
  const std::int32_t magnitude = Random(diversity);
  return magnitude | (Random(2) << DrawSignShift);
}

TEST(PlasmaDrawsTest, JumpsEqualSingleSteps) {
  for (const std::uint64_t steps : {0u, 1u, 2u, 3u, 16u, 17u, 1000u, 1350000u}) {
    for (const std::uint32_t seed : {0u, 1u, 123456789u, 0xFFFFFFFFu}) {
      std::uint32_t state = seed;
      for (std::uint64_t i = 0; i < steps; ++i)
        state = NextRandState(state);
      EXPECT_EQ(RandJumpOf(steps).Apply(seed), state) << steps << " steps from " << seed;
    }
  }
}

// Every lane count and tail and the extreme ranges, against the draws made one by one; the state
// must end where the plain draws leave it.
TEST(PlasmaDrawsTest, EqualPlainDrawsAndEndOnTheSameState) {
  const std::size_t counts[] = {0, 1, 7, 8, 9, 15, 16, 17, 100, 511, 512};
  const std::int32_t diversities[] = {0, 1, 2, 3, 255, 700, 1000, 4097, MaxDiversity};
  std::uint32_t seed = 17;
  for (const std::size_t count : counts) {
    for (const std::int32_t diversity : diversities) {
      seed = seed * 2654435761u + 97u;
      RandSeed = seed;
      std::vector<std::int32_t> expected;
      for (std::size_t i = 0; i < count; ++i)
        expected.push_back(PlainDraw(diversity));

      std::vector<TPlasmaDraw> drawn(count);
      const std::uint32_t end = FillDraws(seed, diversity, count, drawn.data());
      EXPECT_EQ(end, RandSeed) << count << " draws of " << diversity;
      EXPECT_EQ(std::vector<std::int32_t>(drawn.begin(), drawn.end()), expected)
          << count << " draws of " << diversity << " from " << seed;
    }
  }
}

}  // namespace
}  // namespace hillograph
