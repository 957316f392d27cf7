#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "synthesis/Generator.h"
#include "synthesis/base/Error.h"
#include "synthesis/base/Random.h"

namespace hillograph {
namespace {

// A rejected map names the argument and its range, and leaves the picture and the generator as
// they were.
TEST(GeneratorArgumentsTest, RejectsWhatItCannotDrawBeforeDrawing) {
  constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* message;
    std::int32_t width, height, diversity, waterLevel;
    double density;
    std::int32_t gridSize = 80, shadowDivisor = 21, labelScale = 1;
  } rows[] = {
      {"Width must be 1 .. 16384, not 0", 0, 10, 100, 100, 0},
      {"Height must be 1 .. 16384, not 16385", 10, MaxMapSide + 1, 100, 100, 0},
      {"Diversity must be 0 .. 32768, not -1", 10, 10, -1, 100, 0},
      {"WaterLevel must be 0 .. 255, not 256", 10, 10, 100, 256, 0},
      {"WaterLevel must be 0 .. 255, not -1", 10, 10, 100, -1, 0},
      {"TownDensity must be 0 .. 1, not nan", 10, 10, 100, 100, NaN},
      {"TownDensity must be 0 .. 1, not -0.5", 10, 10, 100, 100, -0.5},
      {"TownDensity must be 0 .. 1, not 1.5", 10, 10, 100, 100, 1.5},
      {"GridSize must be 1 .. 2147483647, not 0", 10, 10, 100, 100, 0, 0},
      {"ShadowDivisor must be 1 .. 2147483647, not 0", 10, 10, 100, 100, 0, 80, 0},
      {"LabelScale must be 1 .. 16, not 0", 10, 10, 100, 100, 0, 80, 21, 0},
      {"LabelScale must be 1 .. 16, not 17", 10, 10, 100, 100, 0, 80, 21, MaxLabelScale + 1},
  };
  for (const auto& row : rows) {
    RandSeed = 5;
    TPicture picture;
    GenerateMap(picture, 7, 5, 100, 100, 0, "");
    const TPicture before = picture;
    const std::uint32_t seed = RandSeed;
    const TMapStyle savedStyle = MapStyle;
    MapStyle.GridSize = row.gridSize;
    MapStyle.ShadowDivisor = row.shadowDivisor;
    try {
      GenerateMap(picture, row.width, row.height, row.diversity, row.waterLevel, row.density, "",
                  nullptr, {.LabelScale = row.labelScale});
      ADD_FAILURE() << "accepted: " << row.message;
    } catch (const TError& error) {
      EXPECT_EQ(std::string(error.what()), row.message);
    }
    MapStyle = savedStyle;
    EXPECT_EQ(RandSeed, seed) << row.message;
    ASSERT_EQ(picture.Width() * picture.Height(), 7 * 5) << row.message;
    EXPECT_TRUE(std::equal(picture.Bits(), picture.Bits() + picture.Stride() * 5, before.Bits()));
  }
}

}  // namespace
}  // namespace hillograph
