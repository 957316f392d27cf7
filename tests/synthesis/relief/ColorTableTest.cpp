#include "synthesis/relief/ColorTable.h"

#include <gtest/gtest.h>

#include <cmath>

#include "synthesis/MapStyle.h"
#include "synthesis/base/ExtendedMath.h"

namespace hillograph {
namespace {

TEST(ColorTableTest, DefaultColoursAtWaterLevel150) {
  const THeightColors colors = BuildHeightColors(DefaultMapStyle, 150);
  const struct {
    int height;
    TColor color;
  } cases[] = {
      {0, RGB(80, 128, 240)},   {75, RGB(96, 136, 248)},  {150, RGB(112, 144, 255)},
      {151, RGB(125, 193, 85)}, {200, RGB(185, 204, 46)}, {213, RGB(201, 207, 36)},
      {214, RGB(199, 205, 36)}, {255, RGB(128, 112, 16)},
  };
  for (const auto& c : cases)
    EXPECT_EQ(colors[c.height], c.color) << "height " << c.height;
}

TEST(ColorTableTest, TiesRoundToEven) {
  // Green: 16 * 1/32 = 0.5 rounds to 0.
  EXPECT_EQ(BuildHeightColors(DefaultMapStyle, 32)[1], RGB(81, 128, 240));
  EXPECT_EQ(BlendColor(RGB(0, 0, 0), RGB(1, 3, 5), 0.5), RGB(0, 2, 2));
  EXPECT_EQ(BlendColor(RGB(10, 10, 10), RGB(9, 7, 5), 0.5), RGB(10, 8, 8));
}

TEST(ColorTableTest, WaterLevelExtremes) {
  const THeightColors dry = BuildHeightColors(DefaultMapStyle, 0);
  EXPECT_EQ(dry[0], DefaultSeaMinColor);
  EXPECT_EQ(dry[255], DefaultMountainColor);
  const THeightColors flooded = BuildHeightColors(DefaultMapStyle, 255);
  EXPECT_EQ(flooded[0], DefaultSeaMinColor);
  EXPECT_EQ(flooded[255], DefaultSeaMaxColor);
}

TEST(ColorTableTest, LandRampEnds) {
  EXPECT_EQ(LandColor(DefaultMapStyle, 1.0), DefaultMountainColor);
  EXPECT_EQ(LandColor(DefaultMapStyle, 0.6), DefaultHillColor);  // 0.6 lies below the hill
  EXPECT_EQ(BlendColor(RGB(1, 2, 3), RGB(250, 251, 252), 0.0), RGB(1, 2, 3));
  EXPECT_EQ(BlendColor(RGB(1, 2, 3), RGB(250, 251, 252), 1.0), RGB(250, 251, 252));
}

TEST(ExtendedMathTest, QuotientsRoundTwiceToEven) {
  // 0.6 to extended lies above 0.6 and its double lies below.
  EXPECT_EQ(ExtendedQuotientToDouble(3, 5), 0.6);
  const TExtended sixTenths = ExtendedQuotient(3, 5);
  EXPECT_EQ(sixTenths.Mantissa, 11068046444225730970u);
  EXPECT_EQ(sixTenths.Exponent, -64);
  // Every n / d with small integers equals the correctly rounded double unless double rounding
  // bites; these never do.
  for (std::uint64_t d = 1; d < 300; ++d) {
    for (std::uint64_t n = 0; n <= d; ++n) {
      ASSERT_EQ(ExtendedQuotientToDouble(n, d), static_cast<double>(n) / static_cast<double>(d))
          << n << " / " << d;
    }
  }
}

TEST(ExtendedMathTest, DoubleRoundingCases) {
  // 2^63 + 2^10 + 1 is exact in extended; to double, the guard bit and a sticky bit round up.
  const std::uint64_t n = (std::uint64_t{1} << 63) + (std::uint64_t{1} << 10) + 1;
  EXPECT_EQ(ExtendedQuotientToDouble(n, 1), std::ldexp(1.0, 63) + std::ldexp(1.0, 11));
  // Exactly half-way between two doubles: ties to even goes down.
  const std::uint64_t tie = (std::uint64_t{1} << 63) + (std::uint64_t{1} << 10);
  EXPECT_EQ(ExtendedQuotientToDouble(tie, 1), std::ldexp(1.0, 63));
  // Subnormal results round on the subnormal grid.
  EXPECT_EQ(ExtendedQuotientToDouble(3, 2, -1075), std::ldexp(1.0, -1074));
  EXPECT_EQ(ExtendedQuotientToDouble(1, 2, -1074), 0.0);
}

TEST(ExtendedMathTest, RoundShiftHalfEven) {
  const struct {
    std::int64_t numerator;
    std::int32_t shift;
    std::int64_t expected;
  } cases[] = {{5, 1, 2},   {7, 1, 4}, {-5, 1, -2}, {-7, 1, -4}, {3, 2, 1},
               {-3, 2, -1}, {9, 0, 9}, {1, 70, 0},  {6, 2, 2},   {10, 2, 2}};
  for (const auto& c : cases) {
    EXPECT_EQ(RoundShiftHalfEven(c.numerator, c.shift), c.expected)
        << c.numerator << " >> " << c.shift;
  }
}

}  // namespace
}  // namespace hillograph
