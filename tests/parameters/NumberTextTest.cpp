#include "parameters/NumberText.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <optional>

namespace hillograph {
namespace {

TEST(NumberTextTest, Formats) {
  const struct {
    double value;
    const char* dot;
    const char* comma;
  } cases[] = {
      {0, "0", "0"},
      {-0.0, "0", "0"},
      {640, "640", "640"},
      {123456789, "123456789", "123456789"},
      {2147483647, "2147483647", "2147483647"},
      {2.5, "2.5", "2,5"},
      {-3, "-3", "-3"},
      {0.1 + 0.2, "0.3", "0,3"},
      {1e20, "1E20", "1E20"},
      {0.000015, "1.5E-5", "1,5E-5"},
      {0.0001, "0.0001", "0,0001"},
      {0.00009999, "9.999E-5", "9,999E-5"},
      {1e15, "1E15", "1E15"},
      {999999999999999.0, "999999999999999", "999999999999999"},
      {9999999999999999.0, "1E16", "1E16"},
      {-1.25e-10, "-1.25E-10", "-1,25E-10"},
      {1.0 / 3, "0.333333333333333", "0,333333333333333"},
      {2.0 / 3, "0.666666666666667", "0,666666666666667"},
      {12345678901234.5, "12345678901234.5", "12345678901234,5"},
      {DBL_MAX, "1.79769313486232E308", "1,79769313486232E308"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatNumberText(c.value, "."), c.dot) << c.dot;
    EXPECT_EQ(FormatNumberText(c.value, ","), c.comma) << c.comma;
  }
}

TEST(NumberTextTest, Parses) {
  const struct {
    const char* text;
    const char* separator;
    std::optional<double> value;
  } cases[] = {
      {"640", ".", 640},
      {"  007 ", ".", 7},
      {"+5", ".", 5},
      {"-3", ".", -3},
      {"1.50", ".", 1.5},
      {"2.0", ".", 2},
      {".5", ".", 0.5},
      {"5.", ".", 5},
      {"1e3", ".", 1000},
      {"1E-2", ".", 0.01},
      {"2.5e+1", ".", 25},
      {"1,5", ",", 1.5},
      {"1.5", ",", {}},
      {"", ".", {}},
      {"-", ".", {}},
      {"+", ".", {}},
      {".", ".", {}},
      {"1.2.3", ".", {}},
      {"abc", ".", {}},
      {"12abc", ".", {}},
      {"1e", ".", {}},
      {"e5", ".", {}},
      {"--1", ".", {}},
      {"1 2", ".", {}},
      {"nan", ".", {}},
      {"inf", ".", {}},
      {"1,000", ".", {}},
      {"\t1", ".", {}},
      {"1e999", ".", DBL_MAX},
      {"-1e999", ".", -DBL_MAX},
      {"1e-999", ".", 0.0},
      {"0e999999999999999999999", ".", 0.0},
      {"1e99999999999999999999", ".", DBL_MAX},
      // exponents at the ends of 64 bits, once an overflow when the leading digit was placed
      {"12e9223372036854775807", ".", DBL_MAX},
      {"-12e9223372036854775807", ".", -DBL_MAX},
      {"0.5e-9223372036854775808", ".", 0.0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseNumberText(c.text, c.separator), c.value) << '"' << c.text << '"';
  }
  EXPECT_EQ(NumberTextValue("junk"), 0.0);
}

TEST(NumberTextTest, FormatThenParseGivesTheSameNumberTo15Digits) {
  for (double v = 1e-6; v < 1e18; v *= 3.7) {
    const double back = *ParseNumberText(FormatNumberText(v));
    EXPECT_NEAR(back, v, v * 1e-14) << v;
  }
}

}  // namespace
}  // namespace hillograph
