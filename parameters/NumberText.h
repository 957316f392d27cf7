// The text of a number field: parsing and the general 15-significant-digit format, with a given
// decimal separator and nothing else from any locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace hillograph {

inline constexpr std::string_view DefaultDecimalSeparator = ".";
inline constexpr int NumberTextDigits = 15;

// Optional spaces, an optional sign, digits with at most one separator (at least one digit), an
// optional exponent (E or e, an optional sign, digits), optional spaces. Anything else is not a
// number. A number beyond the range of double saturates to the largest finite one.
std::optional<double> ParseNumberText(std::string_view Text,
                                      std::string_view Separator = DefaultDecimalSeparator);

// What a field reads from its text: the number, or 0 when the text is not a number.
double NumberTextValue(std::string_view Text, std::string_view Separator = DefaultDecimalSeparator);

// 15 significant digits, halves away from zero; fixed notation from 0.0001 up to below 10^15,
// scientific otherwise (1E20, 1.5E-5); no trailing zeros, no thousands separators.
std::string FormatNumberText(double Value, std::string_view Separator = DefaultDecimalSeparator);

}  // namespace hillograph
