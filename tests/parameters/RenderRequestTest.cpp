#include "parameters/RenderRequest.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "parameters/MapParameters.h"
#include "synthesis/Generator.h"
#include "synthesis/base/Error.h"
#include "synthesis/parallel/WorkerTeam.h"
#include "synthesis/random/Random.h"
#include "synthesis/raster/Bmp.h"

namespace hillograph {
namespace {

// The map the program shows at start-up is the start-up map whose pixels GoldenMapsTest pins:
// seed 123456789, diversity 700, water level 150, 30 towns in 10,000 pixels, the start-up style.
TEST(RenderRequestTest, TheDefaultMap) {
  TPicture picture, generated;
  TTownList towns, generatedTowns;
  RandSeed = 4242;
  RenderMapParameters(picture, TMapParameters{}, &towns);
  EXPECT_EQ(RandSeed, 4242u);  // put back
  RandSeed = 123456789;
  MapStyle = DefaultMapStyle;
  GenerateMap(generated, 640, 480, 700, 150, 0.003, "", &generatedTowns);
  EXPECT_TRUE(EncodeBmp(picture) == EncodeBmp(generated));
  EXPECT_EQ(towns, generatedTowns);
}

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::int32_t Lowest = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t Highest = std::numeric_limits<std::int32_t>::max();

// The conversions a render applies have a defined result for every double; what the render
// cannot draw is left for it to reject (the density keeps NaN and signs).
TEST(ConversionsTest, EveryDoubleHasADefinedResult) {
  // Rounded half to even, clamped into 1 .. 1000, the town density (NaN: stays NaN).
  const std::tuple<double, std::int32_t, double, double> rows[] = {
      {NaN, 0, 1, NaN},        {Inf, Highest, 1000, Inf},
      {-Inf, Lowest, 1, -Inf}, {-2.5e9, Lowest, 1, -2.5e5},
      {2.5, 2, 2.5, 0.00025},  {3.5, 4, 3.5, 0.00035},
      {-0.5, 0, 1, -0.00005},  {2147483646.5, 2147483646, 1000, 214748.36465}};
  for (const auto& [value, rounded, clamped, density] : rows) {
    EXPECT_EQ(RoundHalfEven(value), rounded) << value;
    EXPECT_EQ(ClampValue(value, {1, 1000}), clamped) << value;
    const double d = TownDensityOf(value);
    EXPECT_TRUE(std::isnan(density) ? std::isnan(d) : d == density) << value;
  }
}

// Map i of maps that differ in every setting a render keeps between calls: seed, size,
// grid and towns with labels (the glyph caches). Map 0 is large enough for the field and the
// pixel pass to be split, the last band ending inside a tile.
std::string Render(std::size_t i, TWorkerTeam* team = nullptr,
                   std::function<void()> heightsDone = nullptr) {
  TMapParameters map;
  map.RandSeed = static_cast<double>(1000 + 37 * i);
  map.Width = i == 0 ? 1000 : static_cast<double>(120 + 13 * (i % 3));
  map.Height = i == 0 ? 997 : static_cast<double>(90 + 7 * (i % 2));
  map.GridSize = static_cast<double>(20 + 5 * i);
  map.TownAmount = 400;
  TPicture picture;
  THeightField heights;
  RenderMapParameters(picture, map, nullptr,
                      {.Heights = &heights, .Team = team, .HeightsDone = std::move(heightsDone)});
  return EncodeBmp(picture);
}

// The same maps whether rendered one after another, side by side on threads, or on a team of any
// size kept from map to map, also after a render that failed while its team was held back for the
// caller's thread; the team is whole and idle after each.
TEST(RenderThreadsTest, RendersOnThreadsAndTeamsEqualRendersOneAfterAnother) {
  constexpr std::size_t Threads = 3;
  std::vector<std::string> alone, together(2 * Threads);
  for (std::size_t i = 0; i < together.size(); ++i)
    alone.push_back(Render(i));
  std::vector<std::jthread> running;
  for (std::size_t t = 0; t < Threads; ++t) {
    running.emplace_back([&, t] {
      for (std::size_t i = t; i < together.size(); i += Threads)
        together[i] = Render(i);
    });
  }
  running.clear();  // joins
  for (std::size_t i = 0; i < alone.size(); ++i)
    EXPECT_TRUE(together[i] == alone[i]) << "map " << i;
  for (const std::int32_t members : {2, 3, MaxTeamMembers}) {
    TWorkerTeam team(members, LongTeamSpin);
    const std::pair<std::size_t, bool> order[] = {{0, false}, {1, false}, {0, true}, {2, true}};
    for (const auto& [i, heightsDone] : order) {
      EXPECT_TRUE(Render(i, &team, heightsDone ? [] {} : std::function<void()>()) == alone[i])
          << members << " members, map " << i;
      EXPECT_EQ(team.Members(), members);
    }
    EXPECT_THROW(Render(0, &team, [] { throw TError("stop"); }), TError);
    EXPECT_EQ(team.Members(), members);
    EXPECT_TRUE(Render(0, &team) == alone[0]) << members << " members after a failure";
    std::atomic<std::int32_t> ran = 0;
    const auto count = [&](std::int32_t) noexcept { ++ran; };
    team.Run(members, count);
    EXPECT_EQ(ran, members);
  }
}

}  // namespace
}  // namespace hillograph
