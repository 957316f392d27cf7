// Exact emulation of the few 80-bit extended-precision steps whose last bit shows in a picture.
// Values are computed from integers, rounded once to a 64-bit mantissa and then to double, both
// times to nearest with ties to even, so the result never depends on the platform's long double.
#pragma once

#include <cstdint>

namespace hillograph {

// Mantissa * 2^Exponent; a non-zero Mantissa has its top bit set.
struct TExtended {
  std::uint64_t Mantissa = 0;
  std::int32_t Exponent = 0;
};

// n / d * 2^scale rounded to extended precision. d must not be 0.
TExtended ExtendedQuotient(std::uint64_t n, std::uint64_t d, std::int32_t scale = 0);

// Rounds an extended value to the nearest double, ties to even (subnormals included).
double ExtendedToDouble(TExtended x);

// n / d * 2^scale, rounded to extended and then to double.
inline double ExtendedQuotientToDouble(std::uint64_t n, std::uint64_t d, std::int32_t scale = 0) {
  return ExtendedToDouble(ExtendedQuotient(n, d, scale));
}

// The magnitude of a double as Mantissa * 2^Exponent, Mantissa an integer below 2^53. NaN gives
// 0, and an infinity the largest finite double.
struct TDoubleParts {
  std::uint64_t Mantissa = 0;
  std::int32_t Exponent = 0;
};
TDoubleParts SplitDouble(double v);

// numerator * 2^-shift rounded to the nearest integer, ties to even. |numerator| < 2^62.
std::int64_t RoundShiftHalfEven(std::int64_t numerator, std::int32_t shift);

}  // namespace hillograph
