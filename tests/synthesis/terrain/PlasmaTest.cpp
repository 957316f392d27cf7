#include "synthesis/terrain/Plasma.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "synthesis/base/Error.h"
#include "synthesis/base/Random.h"
#include "synthesis/terrain/PlasmaDraws.h"
#include "tests/synthesis/terrain/DrawCounting.h"
#include "tests/synthesis/terrain/PlasmaOracle.h"

namespace hillograph {
namespace {

using testing::StateAfter;
using testing::TOrder;
using testing::TPlasmaOracle;
using testing::TSetCell;

constexpr std::uint32_t DefaultSeed = 123456789;

// Rows from the top, each from left to right.
std::vector<std::vector<int>> Rows(const THeightField& h, std::int32_t width, std::int32_t height) {
  std::vector<std::vector<int>> rows(static_cast<std::size_t>(height));
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x)
      rows[y].push_back(h[x][y]);
  }
  return rows;
}

TEST(PlasmaTest, WorkedFields) {
  struct Case {
    std::int32_t width, height, diversity;
    std::vector<std::vector<int>> rows;
  };
  const Case cases[] = {
      {3, 3, 1, {{139, 120, 101}, {120, 88, 55}, {100, 55, 9}}},
      {3, 3, 700, {{139, 1, 101}, {1, 63, 250}, {100, 1, 9}}},
      {5,
       5,
       100,
       {{139, 93, 80, 69, 101},
        {91, 85, 96, 80, 90},
        {77, 59, 74, 65, 101},
        {92, 72, 77, 52, 61},
        {100, 60, 38, 5, 9}}},
      {2, 7, 100, {{139, 101}, {145, 41}, {146, 37}, {166, 15}, {116, 1}, {103, 1}, {100, 9}}},
  };
  for (const Case& c : cases) {
    RandSeed = DefaultSeed;
    const TPlasmaFractal plasma(c.width, c.height, c.diversity);
    EXPECT_EQ(plasma.Width, c.width);
    EXPECT_EQ(plasma.Height, c.height);
    EXPECT_EQ(Rows(plasma.Heights, c.width, c.height), c.rows)
        << c.width << " x " << c.height << ", diversity " << c.diversity;
  }
}

TEST(PlasmaTest, DrawCountsDependOnlyOnTheSize) {
  struct Case {
    std::int32_t width, height;
    std::int64_t draws;
  };
  const Case cases[] = {{1, 1, 4}, {2, 2, 4},  {1, 2, 4},  {2, 1, 4},
                        {3, 1, 6}, {3, 3, 12}, {5, 5, 36}, {640, 480, 456530}};
  for (const Case& c : cases) {
    for (const std::int32_t diversity : {1, 700, 1000}) {
      RandSeed = DefaultSeed + static_cast<std::uint32_t>(diversity);
      const std::uint32_t before = RandSeed;
      const TPlasmaFractal plasma(c.width, c.height, diversity);
      EXPECT_EQ(RandSeed, StateAfter(before, c.draws)) << c.width << " x " << c.height;
    }
  }
}

TEST(PlasmaTest, TinyFieldsKeepTheLastCornerDraw) {
  RandSeed = DefaultSeed;  // the corner draws are 139, 101, 100, 9
  const TPlasmaFractal one(1, 1, 700);
  EXPECT_EQ(one.Heights[0][0], 9);
  RandSeed = DefaultSeed;
  const TPlasmaFractal row(3, 1, 1);
  EXPECT_EQ(row.Heights[0][0], 100);
  EXPECT_EQ(row.Heights[2][0], 9);
  EXPECT_EQ(row.Heights[1][0], 55);  // the mean of 100 and 9 rounded up, offset 0
}

TEST(PlasmaTest, OracleSetsCellsInTheDepthFirstOrder) {
  const std::vector<TSetCell> fiveByFive = {
      {2, 0, false, 1}, {4, 2, false, 1}, {2, 4, false, 1}, {0, 2, false, 1}, {2, 2, true, 1},
      {1, 0, false, 2}, {2, 1, false, 2}, {1, 2, false, 2}, {0, 1, false, 2}, {1, 1, true, 2},
      {3, 0, false, 2}, {4, 1, false, 2}, {3, 2, false, 2}, {3, 1, true, 2},  {4, 3, false, 2},
      {3, 4, false, 2}, {2, 3, false, 2}, {3, 3, true, 2},  {1, 4, false, 2}, {0, 3, false, 2},
      {1, 3, true, 2}};
  RandSeed = DefaultSeed;
  EXPECT_EQ(TPlasmaOracle(5, 5, 100, TOrder::Record).Order, fiveByFive);

  RandSeed = DefaultSeed;
  std::vector<std::pair<int, int>> displaced;
  for (const TSetCell& c : TPlasmaOracle(2, 7, 100, TOrder::Record).Order) {
    if (!c.centre) displaced.emplace_back(c.x, c.y);
  }
  const std::vector<std::pair<int, int>> twoBySeven = {{1, 3}, {0, 3}, {0, 1}, {0, 2}, {1, 1},
                                                       {1, 2}, {1, 4}, {0, 4}, {1, 5}, {0, 5}};
  EXPECT_EQ(displaced, twoBySeven);
}

// Builds the field with the product and with the oracle from the same seed: same heights, and
// the generator left at the same state.
void ExpectSameAsOracle(std::int32_t width, std::int32_t height, std::int32_t diversity,
                        std::uint32_t seed) {
  RandSeed = seed;
  const TPlasmaOracle oracle(width, height, diversity);
  const std::uint32_t oracleEnd = RandSeed;
  RandSeed = seed;
  const TPlasmaFractal plasma(width, height, diversity);
  ASSERT_EQ(RandSeed, oracleEnd) << width << " x " << height;
  for (std::int32_t x = 0; x < width; ++x) {
    for (std::int32_t y = 0; y < height; ++y) {
      ASSERT_EQ(plasma.Heights[x][y], oracle.Heights[x][y])
          << "(" << x << ", " << y << ") of " << width << " x " << height << ", diversity "
          << diversity << ", seed " << seed;
    }
  }
}

TEST(PlasmaTest, EqualsTheOracleOverManySizesAndSeeds) {
  const std::pair<std::int32_t, std::int32_t> smallSizes[] = {
      {1, 1},    {1, 2},    {2, 1},    {2, 2},     {3, 1},     {1, 3},   {1, 17},  {17, 1},
      {3, 3},    {4, 4},    {5, 5},    {7, 13},    {13, 7},    {31, 2},  {2, 31},  {64, 64},
      {65, 65},  {97, 89},  {101, 1},  {127, 255}, {257, 129}, {509, 1}, {1, 509}, {1, 1000},
      {1000, 1}, {1, 4096}, {4096, 1}, {1025, 3},  {4097, 2}};
  const std::pair<std::int32_t, std::int32_t> largeSizes[] = {
      {640, 480}, {1000, 1000}, {997, 991}, {1000, 999}, {999, 1000}, {2049, 1537}};
  const std::int32_t diversities[] = {0, 1, 2, 700, 1000, MaxDiversity};
  std::uint32_t seed = 1;
  const auto next = [&seed] { return seed = seed * 2654435761u + 12345u; };
  for (const auto& [width, height] : smallSizes) {
    for (const std::int32_t diversity : diversities)
      ExpectSameAsOracle(width, height, diversity, next());
  }
  // The largest fields a few times each, to keep the suite quick.
  for (std::size_t i = 0; i < std::size(largeSizes); ++i) {
    const auto& [width, height] = largeSizes[i];
    ExpectSameAsOracle(width, height, diversities[i % std::size(diversities)], next());
    ExpectSameAsOracle(width, height, 1000, next());
  }
}

// Fields follow one another in the same recycled memory, which holds the last field's heights.
TEST(PlasmaTest, SwitchingSizesKeepsEveryFieldExact) {
  const std::pair<std::int32_t, std::int32_t> sequence[] = {
      {100, 60}, {61, 101}, {100, 60}, {100, 60}, {1, 7}, {100, 60}, {60, 100}};
  std::uint32_t seed = 99;
  for (const auto& [width, height] : sequence)
    ExpectSameAsOracle(width, height, 700, seed++);
}

TEST(PlasmaTest, RejectsArgumentsOutOfRange) {
  const struct {
    std::int32_t width, height, diversity;
  } cases[] = {
      {0, 5, 10}, {5, 0, 10}, {MaxPlasmaSide + 1, 1, 10}, {5, 5, -1}, {5, 5, MaxDiversity + 1}};
  for (const auto& c : cases) {
    const std::uint32_t seed = RandSeed;
    EXPECT_THROW(TPlasmaFractal(c.width, c.height, c.diversity), TError);
    EXPECT_EQ(RandSeed, seed) << "no draw before the arguments are checked";
  }
}

TEST(PlasmaTest, FinishedFieldsHaveNoZeroAndCapDisplacedCells) {
  RandSeed = 99;
  const std::int32_t width = 123, height = 77;
  const TPlasmaFractal plasma(width, height, 1000);
  for (std::int32_t x = 0; x < width; ++x) {
    for (std::int32_t y = 0; y < height; ++y) {
      const bool corner = (x == 0 || x == width - 1) && (y == 0 || y == height - 1);
      ASSERT_GE(plasma.Heights[x][y], 1);
      if (!corner) {
        ASSERT_LE(plasma.Heights[x][y], 250);
      }
    }
  }
}

}  // namespace
}  // namespace hillograph
