#include "synthesis/terrain/SmoothHeights.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "oracles/SmoothHeightsOracle.h"
#include "oracles/SurfaceFigures.h"
#include "synthesis/base/Error.h"
#include "synthesis/random/Random.h"

namespace hillograph {
namespace {

// Cells given as rows from the top.
THeightField Field(std::int32_t width, std::int32_t height, const std::vector<int>& rows) {
  THeightField field(width, height);
  for (std::int32_t i = 0; i < width * height; ++i)
    field[i % width][i / width] = static_cast<std::uint8_t>(rows[static_cast<std::size_t>(i)]);
  return field;
}

TEST(SmoothBandTest, EverySampleRoundsToTheLevelWhoseBandHoldsIt) {
  for (std::int32_t s = 0; s <= MaxSmoothSample; ++s) {
    const std::int32_t level = LevelOfSample(s);
    ASSERT_EQ(level, std::lround(s / 257.0)) << s;
    ASSERT_TRUE(SmoothBandLow(level) <= s && s <= SmoothBandHigh(level)) << s;
  }
  const struct {
    int height, low, high;
  } bands[] = {{0, 0, 128}, {1, 129, 385}, {128, 32768, 33024}, {255, 65407, 65535}};
  for (const auto& b : bands) {
    EXPECT_EQ(SmoothBandLow(b.height), b.low) << b.height;
    EXPECT_EQ(SmoothBandHigh(b.height), b.high) << b.height;
  }
}

// Fields small enough to work out by hand: where bands cannot meet, the cells press against the
// edges facing each other; a ramp bends least as a straight line between its pressed ends.
TEST(SmoothHeightsTest, TinyFieldsSettleWhereTheyBendLeast) {
  const struct {
    std::int32_t width, height;
    std::vector<int> heights;
    std::vector<int> samples;
  } cases[] = {
      {1, 1, {7}, {1799}},
      {1, 1, {0}, {0}},
      {1, 1, {255}, {65535}},
      {2, 1, {200, 200}, {51400, 51400}},
      {2, 1, {1, 2}, {385, 386}},
      {1, 2, {0, 255}, {128, 65407}},
      {3, 1, {1, 2, 3}, {385, 514, 643}},
      {1, 3, {3, 2, 1}, {643, 514, 385}},
      {2, 2, {1, 1, 1, 2}, {385, 385, 385, 386}},
      {3, 3, {5, 5, 5, 5, 4, 5, 5, 5, 5}, {1157, 1157, 1157, 1157, 1156, 1157, 1157, 1157, 1157}},
  };
  for (const auto& c : cases) {
    const TSmoothHeightField smooth =
        SmoothHeights(Field(c.width, c.height, c.heights), nullptr, MaxSmoothCycles / 16);
    std::vector<int> samples;
    for (std::int32_t i = 0; i < c.width * c.height; ++i)
      samples.push_back(smooth[i % c.width][i / c.width]);
    EXPECT_EQ(samples, c.samples) << c.width << " x " << c.height << ": " << c.heights[0];
  }
}

// Plasma fields of many sizes, thin ones among them: the product equals the literal passes on
// any team, and every sample rounds back to its height.
TEST(SmoothHeightsTest, EqualsTheOracleAndRoundsBackToEveryHeight) {
  struct TSize {
    std::int32_t width, height, diversity;
  };
  std::vector<TSize> sizes = {{1, 1, 700},   {1, 97, 5000}, {97, 1, 5000},
                              {2, 3, 32768}, {200, 200, 0}, {230, 190, 700}};
  for (std::int32_t i = 0; i < 40; ++i)
    sizes.push_back({1 + i * 37 % 61, 1 + i * 23 % 47, i * 821 % 32769});
  TWorkerTeam team(3);
  for (const TSize& size : sizes) {
    RandSeed = static_cast<std::uint32_t>(size.width * 1000 + size.height);
    const TPlasmaFractal plasma(size.width, size.height, size.diversity);
    const TSmoothHeightField alone = SmoothHeights(plasma.Heights);
    const TSmoothHeightField shared = SmoothHeights(plasma.Heights, &team);
    const testing::TSmoothHeightsOracle oracle(plasma.Heights, DefaultSmoothCycles);
    const std::vector<std::uint16_t> a(alone.Data(), alone.Data() + size.width * size.height);
    EXPECT_EQ(a, std::vector<std::uint16_t>(shared.Data(), shared.Data() + a.size()));
    EXPECT_EQ(a,
              std::vector<std::uint16_t>(oracle.Samples.Data(), oracle.Samples.Data() + a.size()))
        << size.width << " x " << size.height;
    EXPECT_EQ(testing::CellsOffTheirHeight(plasma.Heights, alone), 0);
  }
}

// The default map (seed 123456789, diversity 700) at 1000 x 1000: its plain heightmap holds 250
// values, 44 % of neighbours equal.
TEST(SmoothHeightsTest, TheDefaultMapLosesItsTerraces) {
  RandSeed = 123456789;
  const THeightField heights = TPlasmaFractal(1000, 1000, 700).Heights;
  TWorkerTeam team(2);
  const TSmoothHeightField smooth = SmoothHeights(heights, &team);
  const testing::TSurfaceFigures plain = testing::MeasureSurface(testing::PlainSamples(heights));
  const testing::TSurfaceFigures figures = testing::MeasureSurface(smooth);
  EXPECT_EQ(testing::CellsOffTheirHeight(heights, smooth), 0);
  EXPECT_GE(figures.DistinctValues, 20000);
  EXPECT_LE(figures.EqualShare(), 0.02);
  EXPECT_LE(figures.LargestStep, plain.LargestStep);
}

TEST(SmoothHeightsTest, RefusesWhatItCannotSmooth) {
  const THeightField one(1, 1);
  EXPECT_THROW(SmoothHeights(THeightField()), TError);
  EXPECT_THROW(SmoothHeights(THeightField(MaxPlasmaSide + 1, 1)), TError);
  EXPECT_THROW(SmoothHeights(one, nullptr, 0), TError);
  EXPECT_THROW(SmoothHeights(one, nullptr, MaxSmoothCycles + 1), TError);
}

}  // namespace
}  // namespace hillograph
