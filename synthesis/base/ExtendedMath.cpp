#include "synthesis/base/ExtendedMath.h"

#include <bit>
#include <cmath>
#include <limits>

namespace hillograph {
namespace {

constexpr std::int32_t ExtendedBits = 64;
constexpr std::int32_t DoubleBits = 53;
constexpr std::int32_t DoubleLowestBitExponent = -1074;  // the smallest subnormal is 2^-1074

// m with the bits below it summarised as the first one (guard) and whether any other is set.
std::uint64_t RoundToEven(std::uint64_t m, bool guard, bool sticky) {
  return (guard && (sticky || (m & 1) != 0)) ? m + 1 : m;
}

// (high * 2^64 + low) / d for high < d: the quotient, which then fits in 64 bits, and the
// remainder. Two steps of schoolbook division in 32-bit digits after shifting d's top bit up
// (Knuth's algorithm D), so that every product fits in 64 bits on any machine.
std::uint64_t DivideWide(std::uint64_t high, std::uint64_t low, std::uint64_t d,
                         std::uint64_t& remainder) {
  constexpr std::uint64_t Digit = std::uint64_t{1} << 32;
  constexpr std::uint64_t DigitMask = Digit - 1;
  const int shift = std::countl_zero(d);
  d <<= shift;
  const std::uint64_t dHigh = d >> 32;
  const std::uint64_t dLow = d & DigitMask;
  const std::uint64_t top = shift == 0 ? high : (high << shift) | (low >> (64 - shift));
  const std::uint64_t shiftedLow = low << shift;
  const std::uint64_t lowDigits[2] = {shiftedLow >> 32, shiftedLow & DigitMask};
  std::uint64_t partial = top;  // the remainder so far, followed by the next digit
  std::uint64_t quotient = 0;
  for (const std::uint64_t next : lowDigits) {
    // Estimate the quotient digit from the top digit of d; it is at most 2 too large.
    std::uint64_t q = partial / dHigh;
    std::uint64_t rest = partial - q * dHigh;
    while (q >= Digit || q * dLow > ((rest << 32) | next)) {
      --q;
      rest += dHigh;
      if (rest >= Digit) break;
    }
    // The wrap-around of the first product is exact: the true remainder is below d.
    partial = ((partial << 32) | next) - q * d;
    quotient = (quotient << 32) | q;
  }
  remainder = partial >> shift;
  return quotient;
}

}  // namespace

TExtended ExtendedQuotient(std::uint64_t n, std::uint64_t d, std::int32_t scale) {
  if (n == 0) return {};
  // With s = 64 - (bits of n - bits of d), floor(n * 2^s / d) has 64 or 65 bits, and n * 2^s
  // has at most 128: its high word is n >> (64 - s) and its low word n << s (s is 1 .. 127).
  const std::int32_t s = ExtendedBits - (std::bit_width(n) - std::bit_width(d));
  const std::uint64_t dividendHigh = s >= 64 ? n << (s - 64) : n >> (64 - s);
  const std::uint64_t dividendLow = s >= 64 ? 0 : n << s;
  // The 65th bit of the quotient comes from dividing the high word alone.
  const std::uint64_t quotientTop = dividendHigh / d;
  std::uint64_t remainder = 0;
  const std::uint64_t quotientLow = DivideWide(dividendHigh % d, dividendLow, d, remainder);
  std::uint64_t mantissa;
  std::int32_t exponent = scale - s;
  bool guard;
  bool sticky;
  if (quotientTop != 0) {  // 65 bits: the lowest one is the guard bit
    mantissa = (quotientTop << 63) | (quotientLow >> 1);
    guard = (quotientLow & 1) != 0;
    sticky = remainder != 0;
    exponent += 1;
  } else {  // 64 bits: the guard bit is the first bit of remainder / d
    mantissa = quotientLow;
    guard = remainder >= d - remainder;
    sticky = remainder != d - remainder && remainder != 0;
  }
  const std::uint64_t rounded = RoundToEven(mantissa, guard, sticky);
  if (rounded == 0) return {std::uint64_t{1} << 63, exponent + 1};  // carried into a new top bit
  return {rounded, exponent};
}

double ExtendedToDouble(TExtended x) {
  if (x.Mantissa == 0) return 0.0;
  const std::int32_t topExponent = x.Exponent + ExtendedBits - 1;
  std::int32_t lowestExponent = topExponent - (DoubleBits - 1);
  if (lowestExponent < DoubleLowestBitExponent) lowestExponent = DoubleLowestBitExponent;
  const std::int32_t drop = lowestExponent - x.Exponent;  // at least 11
  if (drop > ExtendedBits) return 0.0;                    // below half the smallest subnormal
  std::uint64_t kept;
  bool guard;
  bool sticky;
  if (drop == ExtendedBits) {
    kept = 0;
    guard = true;
    sticky = (x.Mantissa << 1) != 0;
  } else {
    kept = x.Mantissa >> drop;
    guard = ((x.Mantissa >> (drop - 1)) & 1) != 0;
    sticky = (x.Mantissa & ((std::uint64_t{1} << (drop - 1)) - 1)) != 0;
  }
  return std::ldexp(static_cast<double>(RoundToEven(kept, guard, sticky)), lowestExponent);
}

TDoubleParts SplitDouble(double v) {
  if (v == 0.0 || std::isnan(v)) return {};
  if (std::isinf(v)) v = std::numeric_limits<double>::max();
  v = std::fabs(v);
  int exponent = 0;
  const double fraction = std::frexp(v, &exponent);
  return {static_cast<std::uint64_t>(std::ldexp(fraction, DoubleBits)), exponent - DoubleBits};
}

std::int64_t RoundShiftHalfEven(std::int64_t numerator, std::int32_t shift) {
  if (shift <= 0) return numerator;
  if (shift >= 63) return 0;  // |numerator| < 2^62 makes the value smaller than one half
  const bool negative = numerator < 0;
  const std::uint64_t magnitude =
      negative ? static_cast<std::uint64_t>(-numerator) : static_cast<std::uint64_t>(numerator);
  const std::uint64_t q = magnitude >> shift;
  const std::uint64_t rest = magnitude & ((std::uint64_t{1} << shift) - 1);
  const std::uint64_t half = std::uint64_t{1} << (shift - 1);
  const std::uint64_t rounded = RoundToEven(q, rest >= half, rest != half);
  return negative ? -static_cast<std::int64_t>(rounded) : static_cast<std::int64_t>(rounded);
}

}  // namespace hillograph
