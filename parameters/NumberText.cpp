#include "parameters/NumberText.h"

#include "parameters/FloatChars.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace hillograph {
namespace {

// Beyond the range of double by far, and far from overflowing when a digit position is added.
constexpr long long ExponentLimit = 1LL << 62;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

void SkipSpaces(std::string_view text, std::size_t& i) {
  while (i < text.size() && text[i] == ' ')
    ++i;
}

// Appends a run of digits from text[i] to out; returns how many there were.
std::size_t TakeDigits(std::string_view text, std::size_t& i, std::string& out) {
  const std::size_t start = i;
  while (i < text.size() && IsDigit(text[i]))
    out.push_back(text[i++]);
  return i - start;
}

// Decimal exponent of the leading significant digit of "intDigits.fracDigits" times 10^exp,
// or nullopt when every digit is 0.
std::optional<long long> LeadingExponent(std::string_view mantissa, long long exponent) {
  const std::size_t point = mantissa.find('.');
  const std::size_t intDigits = point == std::string_view::npos ? mantissa.size() : point;
  long long position = static_cast<long long>(intDigits) - 1;
  for (char c : mantissa) {
    if (c == '.') continue;
    if (c != '0') return position + exponent;
    --position;
  }
  return std::nullopt;
}

}  // namespace

std::optional<double> ParseNumberText(std::string_view Text, std::string_view Separator) {
  std::size_t i = 0;
  SkipSpaces(Text, i);
  std::string number;  // the same number in the form std::from_chars reads
  if (i < Text.size() && (Text[i] == '+' || Text[i] == '-')) {
    if (Text[i] == '-') number.push_back('-');
    ++i;
  }
  const std::size_t mantissaStart = number.size();
  std::size_t digits = TakeDigits(Text, i, number);
  if (!Separator.empty() && Text.substr(i, Separator.size()) == Separator) {
    i += Separator.size();
    number.push_back('.');
    digits += TakeDigits(Text, i, number);
  }
  if (digits == 0) return std::nullopt;
  const std::string mantissa = number.substr(mantissaStart);
  long long exponent = 0;
  if (i < Text.size() && (Text[i] == 'E' || Text[i] == 'e')) {
    ++i;
    std::string exponentText;
    if (i < Text.size() && (Text[i] == '+' || Text[i] == '-')) {
      if (Text[i] == '-') exponentText.push_back('-');
      ++i;
    }
    if (TakeDigits(Text, i, exponentText) == 0) return std::nullopt;
    // Exponents saturate far beyond double, yet so that adding a digit position cannot overflow.
    if (std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent)
            .ec != std::errc()) {
      exponent = exponentText.front() == '-' ? -ExponentLimit : ExponentLimit;
    }
    exponent = std::clamp(exponent, -ExponentLimit, ExponentLimit);
    number += 'e';
    number += std::to_string(exponent);
  }
  SkipSpaces(Text, i);
  if (i != Text.size()) return std::nullopt;

  double value = 0.0;
  const auto [end, error] = DoubleFromChars(number.data(), number.data() + number.size(), value);
  if (error == std::errc::result_out_of_range) {
    const bool negative = number.front() == '-';
    const auto leading = LeadingExponent(mantissa, exponent);
    const double magnitude = leading && *leading > 0 ? std::numeric_limits<double>::max() : 0.0;
    return negative ? -magnitude : magnitude;
  }
  if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
  return value;
}

double NumberTextValue(std::string_view Text, std::string_view Separator) {
  return ParseNumberText(Text, Separator).value_or(0.0);
}

std::string FormatNumberText(double Value, std::string_view Separator) {
  if (std::isnan(Value)) return "NAN";
  if (std::isinf(Value)) return Value < 0 ? "-INF" : "INF";
  if (Value == 0.0) return "0";
  // Every double has at most 767 significant decimal digits, so this expansion is exact and the
  // rounding below sees the true digits.
  char buffer[800];
  const auto result =
      DoubleToCharsScientific(buffer, buffer + sizeof buffer, std::fabs(Value), 767);
  const std::string_view exact(buffer, static_cast<std::size_t>(result.ptr - buffer));
  const std::size_t ePos = exact.find('e');
  std::string digits(exact.substr(0, ePos));
  digits.erase(1, 1);  // the point after the first digit
  int exponent = 0;
  std::from_chars(exact.data() + ePos + 1 + (exact[ePos + 1] == '+' ? 1 : 0),
                  exact.data() + exact.size(), exponent);
  // Round to 15 digits, halves away from zero.
  const bool roundUp = digits.size() > NumberTextDigits && digits[NumberTextDigits] >= '5';
  digits.resize(NumberTextDigits);
  if (roundUp) {
    int k = NumberTextDigits - 1;
    while (k >= 0 && digits[k] == '9')
      digits[k--] = '0';
    if (k < 0) {
      digits.insert(digits.begin(), '1');
      digits.pop_back();
      ++exponent;
    } else {
      ++digits[k];
    }
  }
  while (digits.size() > 1 && digits.back() == '0')
    digits.pop_back();

  std::string text = Value < 0 ? "-" : "";
  const int digitCount = static_cast<int>(digits.size());
  if (exponent >= -4 && exponent < NumberTextDigits) {
    if (exponent < 0) {
      text += "0";
      text += Separator;
      text.append(static_cast<std::size_t>(-exponent - 1), '0');
      text += digits;
    } else if (digitCount <= exponent + 1) {
      text += digits;
      text.append(static_cast<std::size_t>(exponent + 1 - digitCount), '0');
    } else {
      text.append(digits, 0, static_cast<std::size_t>(exponent + 1));
      text += Separator;
      text.append(digits, static_cast<std::size_t>(exponent + 1));
    }
  } else {
    text += digits[0];
    if (digitCount > 1) {
      text += Separator;
      text.append(digits, 1);
    }
    text += "E";
    text += std::to_string(exponent);
  }
  return text;
}

}  // namespace hillograph
