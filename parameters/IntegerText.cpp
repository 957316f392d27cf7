#include "parameters/IntegerText.h"

namespace hillograph {
namespace {

int DigitValue(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  return v < base ? v : -1;
}

}  // namespace

std::optional<std::int32_t> ParseIntegerText(std::string_view Text) {
  std::size_t i = 0;
  while (i < Text.size() && (Text[i] == ' ' || Text[i] == '\t'))
    ++i;
  bool negative = false;
  if (i < Text.size() && (Text[i] == '+' || Text[i] == '-')) negative = Text[i++] == '-';
  int base = 10;
  if (Text.substr(i, 1) == "$" || Text.substr(i, 1) == "x" || Text.substr(i, 1) == "X") {
    base = 16;
    i += 1;
  } else if (Text.substr(i, 2) == "0x" || Text.substr(i, 2) == "0X") {
    base = 16;
    i += 2;
  }
  const std::uint64_t limit = base == 16 ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
  std::uint64_t magnitude = 0;
  if (i == Text.size()) return std::nullopt;
  for (; i < Text.size(); ++i) {
    const int digit = DigitValue(Text[i], base);
    if (digit < 0) return std::nullopt;
    magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    if (magnitude > limit) return std::nullopt;
  }
  const std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
  return static_cast<std::int32_t>(negative ? 0u - bits : bits);
}

}  // namespace hillograph
