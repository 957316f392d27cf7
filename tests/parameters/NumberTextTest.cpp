#include "parameters/NumberText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <optional>
#include <string>

#include "parameters/AddDefaultExt.h"
#include "parameters/IntegerText.h"

namespace hillograph {
namespace {

TEST(NumberTextTest, Formats) {
  const struct {
    double value;
    const char* text;  // with a comma for a decimal separator, the comma takes the point's place
  } cases[] = {{-0.0, "0"},          {2147483647, "2147483647"},  {2.5, "2.5"},
               {-3, "-3"},           {0.1 + 0.2, "0.3"},          {1e20, "1E20"},
               {0.000015, "1.5E-5"}, {0.0001, "0.0001"},          {0.00009999, "9.999E-5"},
               {1e15, "1E15"},       {999999999999999.0, "999999999999999"},
               {9999999999999999.0, "1E16"},                      {-1.25e-10, "-1.25E-10"},
               {2.0 / 3, "0.666666666666667"},                    {12345678901234.5, "12345678901234.5"},
               {DBL_MAX, "1.79769313486232E308"}};
  for (const auto& c : cases) {
    EXPECT_EQ(FormatNumberText(c.value, "."), c.text);
    std::string comma = c.text;
    std::replace(comma.begin(), comma.end(), '.', ',');
    EXPECT_EQ(FormatNumberText(c.value, ","), comma);
  }
}

TEST(NumberTextTest, Parses) {
  const struct {
    const char* text;
    double value;
  } cases[] = {{"  007 ", 7},   {"+5", 5},       {"1.50", 1.5},     {".5", 0.5},      {"5.", 5},
               {"1E-2", 0.01},  {"2.5e+1", 25},  {"1e999", DBL_MAX}, {"-1e999", -DBL_MAX},
               {"1e-999", 0.0}, {"0e999999999999999999999", 0.0}, {"12e9223372036854775807", DBL_MAX},
               {"0.5e-9223372036854775808", 0.0}};
  for (const auto& c : cases)
    EXPECT_EQ(ParseNumberText(c.text, "."), c.value) << '"' << c.text << '"';
  EXPECT_EQ(ParseNumberText("1,5", ","), 1.5);
  EXPECT_EQ(ParseNumberText("1.5", ","), std::nullopt);
  for (const char* text :
       {"", "-", ".", "1.2.3", "12abc", "1e", "e5", "--1", "1 2", "nan", "inf", "1,000", "\t1"})
    EXPECT_EQ(ParseNumberText(text, "."), std::nullopt) << '"' << text << '"';
  EXPECT_EQ(NumberTextValue("junk"), 0.0);
  for (double v = 1e-6; v < 1e18; v *= 3.7)  // 15 digits hold any number
    EXPECT_NEAR(*ParseNumberText(FormatNumberText(v)), v, v * 1e-14) << v;
}

TEST(IntegerTextTest, ReadsTheFormsAPresetMayHold) {
  const struct {
    const char* text;
    std::int32_t value;
  } cases[] = {{"3158016", 3158016}, {"0X303000", 3158016},       {"$303000", 3158016},
               {"x303000", 3158016}, {"$abcDEF", 0xABCDEF},       {"  \t+42", 42},
               {"-$10", -16},        {" -0x10", -16},             {"007", 7},
               {"$FFFFFFFF", -1},    {"-2147483648", INT32_MIN},  {"2147483647", 2147483647}};
  for (const auto& c : cases)
    EXPECT_EQ(ParseIntegerText(c.text), c.value) << '"' << c.text << '"';
  // The caller takes the key's default for these.
  for (const char* text : {"", "   ", "-", "$", "0x", "2147483648", "-2147483649", "$100000000",
                           "12abc", "$12g", "1.5", "42 ", "- 42", "$-42", "#303000"})
    EXPECT_EQ(ParseIntegerText(text), std::nullopt) << '"' << text << '"';
}

TEST(AddDefaultExtTest, OnlyTheLastComponentCounts) {
  for (const auto& [name, result] :
       {std::pair{"/maps/alpine", "/maps/alpine.hpf"}, {"/maps/alpine.txt", "/maps/alpine.txt"},
        {"/old.maps/alpine", "/old.maps/alpine.hpf"}, {"/maps/alpine.", "/maps/alpine."},
        {"/maps/.alpine", "/maps/.alpine"}, {"", ".hpf"},
        {"old.maps\\alpine", "old.maps\\alpine"}})  // a backslash is part of a name
    EXPECT_EQ(AddDefaultExt(name, ".hpf"), result) << name;
}

}  // namespace
}  // namespace hillograph
