// The generator's draws, the extended-precision arithmetic and the code page conversion.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <tuple>

#include "synthesis/base/ExtendedMath.h"
#include "synthesis/base/Random.h"
#include "synthesis/base/Utf8.h"

namespace hillograph {
namespace {

TEST(RandomTest, WorkedDraws) {
  // {seed, range, value, state after}
  for (const auto& [seed, range, value, after] :
       std::initializer_list<std::tuple<std::uint32_t, int, int, std::uint32_t>>{
           {0, 1, 0, 1}, {1, 1, 0, 134775814},
           {123456789, 255, 138, NextRandState(123456789)},  // the default map's corners
           {NextRandState(NextRandState(NextRandState(123456789))), 255, 8, 145889505},
           {987654321, 0, 0, NextRandState(987654321)}}) {  // an empty range still steps
    RandSeed = seed;
    EXPECT_EQ(Random(range), value) << seed;
    EXPECT_EQ(RandSeed, after) << seed;
  }
  RandSeed = 0;  // the fraction is the new state, 1, over 2^32
  EXPECT_EQ(Random(), 1 / 4294967296.0);
}

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
  // {n, d, exponent, double}: the guard and sticky bits round up, half way to even, and the
  // subnormal grid
  using TRow = std::tuple<std::uint64_t, std::uint64_t, int, double>;
  for (const auto& [n, d, exponent, expected] : std::initializer_list<TRow>{
           {tie + 1, 1, 0, std::ldexp(1.0, 63) + std::ldexp(1.0, 11)},
           {tie, 1, 0, std::ldexp(1.0, 63)},
           {3, 2, -1075, std::ldexp(1.0, -1074)},
           {1, 2, -1074, 0.0}})
    EXPECT_EQ(ExtendedQuotientToDouble(n, d, exponent), expected) << n;
  const std::int64_t shifts[][3] = {{5, 1, 2},   {7, 1, 4},   {-5, 1, -2}, {-7, 1, -4},
                                    {-3, 2, -1}, {9, 0, 9},  {1, 70, 0},  {6, 2, 2},   {10, 2, 2}};
  for (const auto& [numerator, shift, expected] : shifts)
    EXPECT_EQ(RoundShiftHalfEven(numerator, static_cast<std::int32_t>(shift)), expected);
}

// Each Windows-1252 byte becomes one code point: itself in Latin-1, the code page's letter in
// 0x80 .. 0x9F (the unassigned ones stay control characters).
TEST(Utf8Test, Windows1252BytesBecomeTheirCodePoints) {
  const std::string utf8 = Windows1252ToUtf8("A\x7F\x80\x81\x8A\x99\x9F\xA0\xE4\xFF");
  EXPECT_EQ(utf8, "A\x7F\xE2\x82\xAC\xC2\x81\xC5\xA0\xE2\x84\xA2\xC5\xB8\xC2\xA0\xC3\xA4\xC3\xBF");
  EXPECT_EQ(ClassifyUtf8(utf8), TUtf8Kind::MultiByte);
}

}  // namespace
}  // namespace hillograph
