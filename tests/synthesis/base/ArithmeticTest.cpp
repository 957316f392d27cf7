// The extended-precision arithmetic.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <tuple>

#include "synthesis/base/ExtendedMath.h"

namespace hillograph {
namespace {

TEST(ExtendedMathTest, QuotientsRoundTwiceToEven) {
  // Small quotients, where double rounding never bites, equal the correctly rounded double.
  for (std::uint64_t d = 1; d < 300; ++d)
    for (std::uint64_t n = 0; n <= d; ++n)
      ASSERT_EQ(ExtendedQuotientToDouble(n, d), static_cast<double>(n) / d) << n << " / " << d;
  const std::uint64_t tie = (std::uint64_t{1} << 63) + (std::uint64_t{1} << 10);
  // {n, d, exponent, double}: the guard and sticky bits round up, half way to even, and the
  // subnormal grid
  const std::tuple<std::uint64_t, std::uint64_t, int, double> quotients[] = {
      {tie + 1, 1, 0, std::ldexp(1.0, 63) + std::ldexp(1.0, 11)},
      {tie, 1, 0, std::ldexp(1.0, 63)},
      {3, 2, -1075, std::ldexp(1.0, -1074)},
      {1, 2, -1074, 0.0}};
  for (const auto& [n, d, exponent, expected] : quotients)
    EXPECT_EQ(ExtendedQuotientToDouble(n, d, exponent), expected) << n;
  const std::int64_t shifts[][3] = {{5, 1, 2}, {7, 1, 4},  {-5, 1, -2}, {-7, 1, -4}, {-3, 2, -1},
                                    {9, 0, 9}, {1, 70, 0}, {6, 2, 2},   {10, 2, 2}};
  for (const auto& [numerator, shift, expected] : shifts)
    EXPECT_EQ(RoundShiftHalfEven(numerator, static_cast<std::int32_t>(shift)), expected);
}

TEST(ExtendedMathTest, QuotientsMatchTheMachinesExtendedDivision) {
  // Where long double is the 80-bit format, its division is correctly rounded to 64 bits: an
  // oracle for every width of numerator and divisor, both quotient lengths and all remainders.
  if constexpr (std::numeric_limits<long double>::digits == 64) {
    std::mt19937_64 draw(20261207);
    for (int i = 0; i < 200000; ++i) {
      const std::uint64_t n = (draw() >> (draw() % 64)) | 1, d = (draw() >> (draw() % 64)) | 1;
      int e = 0;
      const long double fraction = std::frexp(static_cast<long double>(n) / d, &e);
      const TExtended x = ExtendedQuotient(n, d);
      ASSERT_EQ(x.Mantissa, std::uint64_t(std::ldexp(fraction, 64))) << n << " / " << d;
      ASSERT_EQ(x.Exponent, e - 64) << n << " / " << d;
    }
  }
}

}  // namespace
}  // namespace hillograph
