#include "synthesis/terrain/PlasmaDraws.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "synthesis/base/Random.h"
#include "synthesis/base/RandomJump.h"

namespace hillograph {
namespace {

// One displacement drawn the plain way, as the recursion draws it at a depth.
std::int32_t PlainDisplacement(std::int32_t diversity, std::int32_t depth) {
  std::int32_t offset = Random(diversity) >> depth;
  if (Random(2) != 0) offset = -offset;
  return 2 * std::clamp(offset, -MaxUsefulOffset, MaxUsefulOffset) + 1;
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

// Every lane count and tail, every depth, and the extreme ranges, against the draws made one by
// one; the state must end where the plain draws leave it.
TEST(PlasmaDrawsTest, EqualPlainDrawsAndEndOnTheSameState) {
  const std::size_t counts[] = {0, 1, 7, 8, 9, 15, 16, 17, 100, 511, 512};
  const std::int32_t diversities[] = {0, 1, 2, 3, 255, 700, 1000, 4097, MaxDiversity};
  std::uint32_t seed = 17;
  for (const std::size_t count : counts) {
    for (const std::int32_t diversity : diversities) {
      seed = seed * 2654435761u + 97u;
      std::vector<std::uint16_t> scales(count);
      std::vector<std::int32_t> depths(count);
      for (std::size_t i = 0; i < count; ++i) {
        depths[i] = 1 + static_cast<std::int32_t>((i * 7 + seed) % MaxDrawDepth);
        scales[i] = DepthScale(depths[i]);
      }
      RandSeed = seed;
      std::vector<std::int32_t> expected;
      for (std::size_t i = 0; i < count; ++i)
        expected.push_back(PlainDisplacement(diversity, depths[i]));

      std::vector<TDisplacement> drawn(count);
      const std::uint32_t end =
          FillDisplacements(seed, diversity, scales.data(), count, drawn.data());
      EXPECT_EQ(end, RandSeed) << count << " draws of " << diversity;
      EXPECT_EQ(std::vector<std::int32_t>(drawn.begin(), drawn.end()), expected)
          << count << " draws of " << diversity << " from " << seed;
    }
  }
}

}  // namespace
}  // namespace hillograph
