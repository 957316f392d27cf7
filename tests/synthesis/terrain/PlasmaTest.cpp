#include "synthesis/terrain/Plasma.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "oracles/PlasmaOracle.h"
#include "synthesis/base/Error.h"
#include "synthesis/random/Random.h"
#include "synthesis/terrain/PlasmaDraws.h"

namespace hillograph {
namespace {

// The generator's state after Steps steps from State.
std::uint32_t StateAfter(std::uint32_t State, long long Steps) {
  while (Steps-- > 0)
    State = NextRandState(State);
  return State;
}

TEST(PlasmaTest, WorkedFields) {
  const struct {
    std::int32_t width, height, diversity;
    std::int64_t draws;
    std::vector<int> cells;  // rows from the top
  } cases[] = {
      {1, 1, 700, 4, {9}},  // every corner is the one cell: the last draw stays
      {3, 1, 1, 6, {100, 55, 9}},
      {3, 3, 1, 12, {139, 120, 101, 120, 88, 55, 100, 55, 9}},
      {3, 3, 700, 12, {139, 1, 101, 1, 63, 250, 100, 1, 9}},
      {5, 5, 100, 36, {139, 93,  80, 69, 101, 91, 85, 96,  80, 90, 77, 59, 74,
                       65,  101, 92, 72, 77,  52, 61, 100, 60, 38, 5,  9}},
      {2, 7, 100, 24, {139, 101, 145, 41, 146, 37, 166, 15, 116, 1, 103, 1, 100, 9}},
  };
  for (const auto& c : cases) {
    RandSeed = 123456789;  // its corner draws are 139, 101, 100, 9
    const TPlasmaFractal plasma(c.width, c.height, c.diversity);
    std::vector<int> cells;
    for (std::int32_t i = 0; i < c.width * c.height; ++i)
      cells.push_back(plasma.Heights[i % c.width][i / c.width]);
    EXPECT_EQ(cells, c.cells) << c.width << " x " << c.height << ", diversity " << c.diversity;
    EXPECT_EQ(RandSeed, StateAfter(123456789, c.draws)) << c.width << " x " << c.height;
  }
  // Arguments out of range are rejected before any draw.
  const std::tuple<int, int, int> outOfRange[] = {
      {0, 5, 10}, {5, 0, 10}, {MaxPlasmaSide + 1, 1, 10}, {5, 5, -1}, {5, 5, MaxDiversity + 1},
  };
  for (const auto& [width, height, diversity] : outOfRange) {
    RandSeed = 5;
    EXPECT_THROW(TPlasmaFractal(width, height, diversity), TError);
    EXPECT_EQ(RandSeed, 5u);
  }
}

// The draws made ahead in lanes, for every lane count and tail, equal the draws made one by one
// (magnitude, then sign) and leave the generator where those leave it.
TEST(PlasmaDrawsTest, EqualPlainDrawsAndEndOnTheSameState) {
  std::uint32_t seed = 3;
  for (const std::size_t count : {0, 1, 7, 8, 9, 17, 100, 511}) {
    for (const std::int32_t diversity : {0, 1, 700, MaxDiversity}) {
      seed = seed * 2654435761u + 97u;
      RandSeed = seed;
      std::vector<std::int32_t> expected;
      for (std::size_t i = 0; i < count; ++i)
        expected.push_back(Random(diversity) | Random(2) << DrawSignShift);
      std::vector<TPlasmaDraw> drawn(count);
      EXPECT_EQ(FillDraws(seed, diversity, count, drawn.data()), RandSeed) << count;
      EXPECT_EQ(std::vector<std::int32_t>(drawn.begin(), drawn.end()), expected) << count;
    }
  }
}

// Same heights as the literal recursion and the generator left at the same state, on one thread
// and on teams of two and of more threads than the machine has, by the recursion and by the
// size's plan. Sizes go back to earlier ones, and the fields of one size are all kept, since
// fields follow one another in recycled memory. Teams split fields of 2^17 cells or more.
TEST(PlasmaTest, EqualsTheOracle) {
  TWorkerTeam pair(2), crowd(MaxTeamMembers);
  const std::pair<std::int32_t, std::int32_t> sizes[] = {
      {1, 2},     {2, 1},     {2, 2},       {1, 17},      {17, 1},    {4, 4},      {7, 13},
      {13, 7},    {2, 31},    {64, 64},     {65, 65},     {97, 89},   {509, 1},    {1, 4096},
      {4096, 1},  {97, 89},   {640, 480},   {1000, 1000}, {997, 991}, {1000, 999}, {999, 1000},
      {64, 64},   {1025, 3},  {4097, 2},    {2, 4097},    {255, 514}, {256, 512},  {513, 256},
      {63, 2081}, {2081, 63}, {1025, 1025}, {2049, 1537}};
  std::uint32_t seed = 1;
  for (const auto& [width, height] : sizes) {
    const TPlasmaPlan plan(width, height);  // all within MaxPlanBytes
    for (const std::int32_t diversity : {700, MaxDiversity, 0, 1, 2}) {
      RandSeed = seed = seed * 2654435761u + 12345u;
      const testing::TPlasmaOracle oracle(width, height, diversity);
      const std::uint32_t oracleEnd = RandSeed;
      std::vector<TPlasmaFractal> fields;
      for (TWorkerTeam* team : {static_cast<TWorkerTeam*>(nullptr), &pair, &crowd}) {
        for (const TPlasmaPlan* given : {static_cast<const TPlasmaPlan*>(nullptr), &plan}) {
          RandSeed = seed;
          const std::uint8_t* cells =
              fields.emplace_back(width, height, diversity, team, given).Heights.Data();
          ASSERT_TRUE(RandSeed == oracleEnd &&
                      std::equal(cells, cells + width * height, oracle.Heights.Data()))
              << width << " x " << height << ", " << diversity << ", seed " << seed << ", threads "
              << (team ? team->Members() : 1) << ", plan " << !!given;
        }
      }
      if (width * height > 500'000) break;  // the largest with one diversity, to stay quick
    }
  }
}

}  // namespace
}  // namespace hillograph
