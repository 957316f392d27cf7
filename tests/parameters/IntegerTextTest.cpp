#include "parameters/IntegerText.h"

#include <gtest/gtest.h>

#include <optional>

namespace hillograph {
namespace {

TEST(IntegerTextTest, ReadsTheFormsAPresetMayHold) {
  const struct {
    const char* text;
    std::optional<std::int32_t> value;
  } cases[] = {
      {"3158016", 3158016},
      {"0x303000", 3158016},
      {"0X303000", 3158016},
      {"$303000", 3158016},
      {"x303000", 3158016},
      {"X303000", 3158016},
      {"$abcDEF", 0xABCDEF},
      {"  \t42", 42},
      {"+42", 42},
      {"-42", -42},
      {"-$10", -16},
      {" -0x10", -16},
      {"007", 7},
      {"0", 0},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"$7FFFFFFF", 2147483647},
      {"$FFFFFFFF", -1},  // hexadecimal fills all 32 bits
      {"$80000000", INT32_MIN},
      // unreadable: the caller takes the key's default
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"+", std::nullopt},
      {"-", std::nullopt},
      {"$", std::nullopt},
      {"0x", std::nullopt},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"$100000000", std::nullopt},
      {"12abc", std::nullopt},
      {"$12g", std::nullopt},
      {"1.5", std::nullopt},
      {"1e3", std::nullopt},
      {"42 ", std::nullopt},
      {"- 42", std::nullopt},
      {"$-42", std::nullopt},
      {"#303000", std::nullopt},
      {"true", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParseIntegerText(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
}  // namespace hillograph
