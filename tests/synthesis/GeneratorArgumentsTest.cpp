#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "synthesis/Generator.h"
#include "synthesis/base/Error.h"
#include "synthesis/base/Random.h"

namespace hillograph {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

struct TBadArgumentsRow {
  std::int32_t Width, Height, Diversity, WaterLevel;
  double TownDensity;
  std::int32_t GridSize, ShadowDivisor;
  const char* Message;
};

class GeneratorArgumentsTest : public testing::TestWithParam<TBadArgumentsRow> {};

// A rejected map names the argument and its range, and leaves the picture and the generator as
// they were.
TEST_P(GeneratorArgumentsTest, RejectsWhatItCannotDrawBeforeDrawing) {
  const TBadArgumentsRow row = GetParam();
  RandSeed = 5;
  TPicture picture;
  GenerateMap(picture, 7, 5, 100, 100, 0, "");
  const TPicture before = picture;
  const std::uint32_t seed = RandSeed;
  const TMapStyle savedStyle = MapStyle;
  MapStyle.GridSize = row.GridSize;
  MapStyle.ShadowDivisor = row.ShadowDivisor;
  try {
    GenerateMap(picture, row.Width, row.Height, row.Diversity, row.WaterLevel, row.TownDensity, "");
    ADD_FAILURE() << "accepted: " << row.Message;
  } catch (const TError& error) {
    EXPECT_EQ(std::string(error.what()), row.Message);
  }
  MapStyle = savedStyle;
  EXPECT_EQ(RandSeed, seed);
  ASSERT_EQ(picture.Width(), 7);
  ASSERT_EQ(picture.Height(), 5);
  EXPECT_TRUE(std::equal(picture.Bits(), picture.Bits() + picture.Stride() * 5, before.Bits()));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GeneratorArgumentsTest,
    testing::Values(
        TBadArgumentsRow{0, 10, 100, 100, 0, 80, 21, "Width must be 1 .. 16384, not 0"},
        TBadArgumentsRow{10, MaxMapSide + 1, 100, 100, 0, 80, 21,
                         "Height must be 1 .. 16384, not 16385"},
        TBadArgumentsRow{10, 10, -1, 100, 0, 80, 21, "Diversity must be 0 .. 32768, not -1"},
        TBadArgumentsRow{10, 10, 100, 256, 0, 80, 21, "WaterLevel must be 0 .. 255, not 256"},
        TBadArgumentsRow{10, 10, 100, -1, 0, 80, 21, "WaterLevel must be 0 .. 255, not -1"},
        TBadArgumentsRow{10, 10, 100, 100, NaN, 80, 21, "TownDensity must be 0 .. 1, not nan"},
        TBadArgumentsRow{10, 10, 100, 100, -0.5, 80, 21, "TownDensity must be 0 .. 1, not -0.5"},
        TBadArgumentsRow{10, 10, 100, 100, 1.5, 80, 21, "TownDensity must be 0 .. 1, not 1.5"},
        TBadArgumentsRow{10, 10, 100, 100, 0, 0, 21, "GridSize must be 1 .. 2147483647, not 0"},
        TBadArgumentsRow{10, 10, 100, 100, 0, 80, 0,
                         "ShadowDivisor must be 1 .. 2147483647, not 0"}));

// Under a sanitizer a failed allocation ends the program instead of throwing.
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
TEST(GeneratorMemoryTest, AMapWithoutItsMemoryFailsWithAMessage) {
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_AS, &saved), 0);
  rlimit tight = saved;
  tight.rlim_cur = rlim_t{1} << 30;  // far below the 1.3 GB a largest map needs
  ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
  TPicture picture;
  std::string message;
  try {
    GenerateMap(picture, MaxMapSide, MaxMapSide, 100, 100, 0, "");
  } catch (const TError& error) {
    message = error.what();
  }
  ASSERT_EQ(setrlimit(RLIMIT_AS, &saved), 0);
  EXPECT_EQ(message, "Out of memory");
}
#endif

}  // namespace
}  // namespace hillograph
