#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "parameters/MapParameters.h"
#include "synthesis/base/ExtendedMath.h"

namespace hillograph {
namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::int32_t Lowest = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t Highest = std::numeric_limits<std::int32_t>::max();

// The conversions a render applies, for values no field gives: each has a defined result, and
// what the render cannot draw is left for it to reject (the density keeps NaN and signs).
struct TLimitRow {
  double Value;
  std::int32_t Rounded;
  double Clamped;  // into 1 .. 1000
  double Density;  // NaN: stays NaN
};

class ConversionLimitsTest : public testing::TestWithParam<TLimitRow> {};

TEST_P(ConversionLimitsTest, EveryDoubleHasADefinedResult) {
  const TLimitRow row = GetParam();
  EXPECT_EQ(RoundHalfEven(row.Value), row.Rounded);
  EXPECT_EQ(ClampValue(row.Value, {1, 1000}), row.Clamped);
  const double density = TownDensityOf(row.Value);
  if (std::isnan(row.Density)) {
    EXPECT_TRUE(std::isnan(density));
  } else {
    EXPECT_EQ(density, row.Density);
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, ConversionLimitsTest,
                         testing::Values(TLimitRow{NaN, 0, 1, NaN},
                                         TLimitRow{Inf, Highest, 1000, Inf},
                                         TLimitRow{-Inf, Lowest, 1, -Inf},
                                         TLimitRow{1e300, Highest, 1000, 1e296},
                                         TLimitRow{-2.5e9, Lowest, 1, -2.5e5},
                                         TLimitRow{2147483646.5, 2147483646, 1000, 214748.36465},
                                         TLimitRow{-30, -30, 1, -0.003}));

TEST(SplitDoubleTest, NonFiniteAndNegativeValuesSplitTheirMagnitude) {
  const TDoubleParts largest = SplitDouble(std::numeric_limits<double>::max());
  const struct {
    double Value;
    TDoubleParts Parts;
  } rows[] = {{NaN, {}}, {Inf, largest}, {-Inf, largest}, {-0.75, SplitDouble(0.75)}};
  for (const auto& row : rows) {
    const TDoubleParts parts = SplitDouble(row.Value);
    EXPECT_EQ(parts.Mantissa, row.Parts.Mantissa) << row.Value;
    EXPECT_EQ(parts.Exponent, row.Parts.Exponent) << row.Value;
  }
  EXPECT_EQ(std::ldexp(static_cast<double>(largest.Mantissa), largest.Exponent),
            std::numeric_limits<double>::max());
}

}  // namespace
}  // namespace hillograph
