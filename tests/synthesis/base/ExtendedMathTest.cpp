#include "synthesis/base/ExtendedMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace hillograph {
namespace {

TEST(ExtendedMathTest, QuotientsRoundTwiceToEven) {
  // 0.6 to extended lies above 0.6 and its double lies below.
  EXPECT_EQ(ExtendedQuotient(3, 5).Mantissa, 11068046444225730970u);
  EXPECT_EQ(ExtendedQuotient(3, 5).Exponent, -64);
  // Small quotients, where double rounding never bites, equal the correctly rounded double.
  for (std::uint64_t d = 1; d < 300; ++d) {
    for (std::uint64_t n = 0; n <= d; ++n)
      ASSERT_EQ(ExtendedQuotientToDouble(n, d), static_cast<double>(n) / d) << n << " / " << d;
  }
  const std::uint64_t tie = (std::uint64_t{1} << 63) + (std::uint64_t{1} << 10);
  const struct {
    std::uint64_t n, d;
    std::int32_t exponent;
    double expected;
  } cases[] = {
      {tie + 1, 1, 0, std::ldexp(1.0, 63) + std::ldexp(1.0, 11)},  // guard and sticky bit: up
      {tie, 1, 0, std::ldexp(1.0, 63)},                            // half way: to even
      {3, 2, -1075, std::ldexp(1.0, -1074)},                       // on the subnormal grid
      {1, 2, -1074, 0.0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ExtendedQuotientToDouble(c.n, c.d, c.exponent), c.expected) << c.n;
}

TEST(ExtendedMathTest, RoundShiftHalfEven) {
  const struct {
    std::int64_t numerator;
    std::int32_t shift;
    std::int64_t expected;
  } cases[] = {{5, 1, 2},   {7, 1, 4}, {-5, 1, -2}, {-7, 1, -4}, {3, 2, 1},
               {-3, 2, -1}, {9, 0, 9}, {1, 70, 0},  {6, 2, 2},   {10, 2, 2}};
  for (const auto& c : cases)
    EXPECT_EQ(RoundShiftHalfEven(c.numerator, c.shift), c.expected) << c.numerator;
}

}  // namespace
}  // namespace hillograph
