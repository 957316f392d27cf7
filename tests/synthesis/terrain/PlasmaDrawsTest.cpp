#include "synthesis/terrain/PlasmaDraws.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "synthesis/base/Random.h"
#include "synthesis/base/RandomJump.h"
#include "tests/synthesis/terrain/DrawCounting.h"

namespace hillograph {
namespace {

TEST(PlasmaDrawsTest, JumpsEqualSingleSteps) {
  for (const std::uint64_t steps : {0u, 1u, 2u, 3u, 17u, 1350000u}) {
    for (const std::uint32_t seed : {0u, 123456789u, 0xFFFFFFFFu})
      EXPECT_EQ(RandJumpOf(steps).Apply(seed), testing::StateAfter(seed, steps)) << steps;
  }
}

// Every lane count and tail, every depth and the extreme ranges against the draws made one by
// one, as the recursion makes them; the state must end where the plain draws leave it.
TEST(PlasmaDrawsTest, EqualPlainDraws) {
  std::uint32_t seed = 17;
  for (const std::size_t count : {0, 1, 7, 8, 9, 15, 16, 17, 511}) {
    for (const std::int32_t diversity : {0, 1, 2, 255, 700, 4097, MaxDiversity}) {
      seed = seed * 2654435761u + 97u;
      std::vector<std::uint16_t> scales(count);
      std::vector<std::int32_t> expected;
      RandSeed = seed;
      for (std::size_t i = 0; i < count; ++i) {
        const auto depth = 1 + static_cast<std::int32_t>((i * 7 + seed) % MaxDrawDepth);
        scales[i] = DepthScale(depth);
        std::int32_t offset = Random(diversity) >> depth;
        if (Random(2) != 0) offset = -offset;
        expected.push_back(2 * std::clamp(offset, -MaxUsefulOffset, MaxUsefulOffset) + 1);
      }
      std::vector<TDisplacement> drawn(count);
      EXPECT_EQ(FillDisplacements(seed, diversity, scales.data(), count, drawn.data()), RandSeed);
      EXPECT_EQ(std::vector<std::int32_t>(drawn.begin(), drawn.end()), expected)
          << count << " draws of " << diversity << " from " << seed;
    }
  }
}

}  // namespace
}  // namespace hillograph
