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
  // With a comma for a decimal separator, the comma takes the point's place.
  const std::pair<double, const char*> cases[] = {{-0.0, "0"},
                                                  {2.5, "2.5"},
                                                  {0.1 + 0.2, "0.3"},
                                                  {0.0001, "0.0001"},
                                                  {0.00009999, "9.999E-5"},
                                                  {1e15, "1E15"},
                                                  {999999999999999.0, "999999999999999"},
                                                  {9999999999999999.0, "1E16"},
                                                  {-1.25e-10, "-1.25E-10"},
                                                  {2.0 / 3, "0.666666666666667"},
                                                  {12345678901234.5, "12345678901234.5"},
                                                  {DBL_MAX, "1.79769313486232E308"}};
  for (const auto& [value, text] : cases) {
    EXPECT_EQ(FormatNumberText(value, "."), text);
    std::string comma = text;
    std::replace(comma.begin(), comma.end(), '.', ',');
    EXPECT_EQ(FormatNumberText(value, ","), comma);
  }
}

TEST(NumberTextTest, Parses) {
  const std::pair<const char*, double> cases[] = {{"  007 ", 7},
                                                  {"+5", 5},
                                                  {".5", 0.5},
                                                  {"5.", 5},
                                                  {"1E-2", 0.01},
                                                  {"2.5e+1", 25},
                                                  {"1e999", DBL_MAX},
                                                  {"-1e999", -DBL_MAX},
                                                  {"1e-999", 0.0},
                                                  {"0e999999999999999999999", 0.0},
                                                  {"12e9223372036854775807", DBL_MAX},
                                                  {"0.5e-9223372036854775808", 0.0}};
  for (const auto& [text, value] : cases)
    EXPECT_EQ(ParseNumberText(text, "."), value) << '"' << text << '"';
  EXPECT_EQ(ParseNumberText("1,5", ","), 1.5);
  EXPECT_EQ(ParseNumberText("1.5", ","), std::nullopt);
  for (const char* text :
       {"", "-", ".", "1.2.3", "12abc", "1e", "e5", "--1", "1 2", "nan", "inf", "1,000", "\t1"})
    EXPECT_EQ(ParseNumberText(text, "."), std::nullopt) << '"' << text << '"';
}

TEST(IntegerTextTest, ReadsTheFormsAPresetMayHold) {
  for (const char* text : {"3158016", "0X303000", "$303000", "x303000", "  \t+3158016"})
    EXPECT_EQ(ParseIntegerText(text), 3158016) << '"' << text << '"';
  const std::pair<const char*, std::int32_t> cases[] = {{"$abcDEF", 0xABCDEF},
                                                        {"-$10", -16},
                                                        {" -0x10", -16},
                                                        {"$FFFFFFFF", -1},
                                                        {"-2147483648", INT32_MIN},
                                                        {"2147483647", 2147483647}};
  for (const auto& [text, value] : cases)
    EXPECT_EQ(ParseIntegerText(text), value) << '"' << text << '"';
  // The caller takes the key's default for these.
  for (const char* text : {"", "   ", "-", "$", "0x", "2147483648", "-2147483649", "$100000000",
                           "12abc", "$12g", "1.5", "42 ", "- 42", "$-42", "#303000"})
    EXPECT_EQ(ParseIntegerText(text), std::nullopt) << '"' << text << '"';
}

TEST(AddDefaultExtTest, OnlyTheLastComponentCounts) {
  for (const std::string name : {"/maps/alpine", "/old.maps/alpine", ""})
    EXPECT_EQ(AddDefaultExt(name, ".hpf"), name + ".hpf");
  // A backslash is part of a name.
  for (const char* name :
       {"/maps/alpine.txt", "/maps/alpine.", "/maps/.alpine", "old.maps\\alpine"})
    EXPECT_EQ(AddDefaultExt(name, ".hpf"), name);
}

}  // namespace
}  // namespace hillograph
