#include "parameters/IntegerText.h"

#include <gtest/gtest.h>

#include <optional>

namespace hillograph {
namespace {

TEST(IntegerTextTest, ReadsTheFormsAPresetMayHold) {
  const struct {
    const char* text;
    std::int32_t value;
  } cases[] = {{"3158016", 3158016},
               {"0x303000", 3158016},
               {"0X303000", 3158016},
               {"$303000", 3158016},
               {"x303000", 3158016},
               {"$abcDEF", 0xABCDEF},
               {"  \t42", 42},
               {"+42", 42},
               {"-$10", -16},
               {" -0x10", -16},
               {"007", 7},
               {"-2147483648", INT32_MIN},
               {"$FFFFFFFF", -1},
               {"$80000000", INT32_MIN},
               {"2147483647", 2147483647}};
  for (const auto& c : cases)
    EXPECT_EQ(ParseIntegerText(c.text), c.value) << '"' << c.text << '"';
  // The caller takes the key's default for these.
  for (const char* text : {"", "   ", "-", "$", "0x", "2147483648", "-2147483649", "$100000000",
                           "12abc", "$12g", "1.5", "42 ", "- 42", "$-42", "#303000"})
    EXPECT_EQ(ParseIntegerText(text), std::nullopt) << '"' << text << '"';
}

}  // namespace
}  // namespace hillograph
