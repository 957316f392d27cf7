#include "synthesis/relief/ColorTable.h"

#include "synthesis/MapStyle.h"
#include "synthesis/base/ArgumentCheck.h"
#include "synthesis/base/ExtendedMath.h"
#include "synthesis/relief/Relief.h"

namespace hillograph {
namespace {

// The extended value nearest to 0.6, as a mantissa over 2^64, and 1 minus it, exactly.
constexpr std::uint64_t HillPosition = 11068046444225730970u;
constexpr std::uint64_t HillToMountain = 0u - HillPosition;  // 2^64 - HillPosition

std::uint8_t BlendChannel(std::uint8_t a, std::uint8_t b, const TDoubleParts& s) {
  // D * S is exact with a 61-bit product; round it half to even, then wrap like a byte.
  const std::int64_t product =
      (static_cast<std::int64_t>(b) - a) * static_cast<std::int64_t>(s.Mantissa);
  return static_cast<std::uint8_t>(a + RoundShiftHalfEven(product, -s.Exponent));
}

}  // namespace

TColor BlendColor(TColor A, TColor B, double S) {
  const TDoubleParts s = SplitDouble(S);
  return RGB(BlendChannel(RedOf(A), RedOf(B), s), BlendChannel(GreenOf(A), GreenOf(B), s),
             BlendChannel(BlueOf(A), BlueOf(B), s));
}

TColor LandColor(const TMapStyle& Style, double T) {
  // T * 2^64 is an integer for every T from 2^-11 up; at T = 1 it wraps to 0, which the
  // subtraction below turns back into 2^64 - HillPosition, so that S is exactly 1.
  const TDoubleParts t = SplitDouble(T);
  const std::int32_t toUnits = t.Exponent + 64;
  const bool belowHill = T < 1.0 && (toUnits < 0 || (t.Mantissa << toUnits) < HillPosition);
  if (belowHill) {
    const double s = ExtendedQuotientToDouble(t.Mantissa, HillPosition, toUnits);
    return BlendColor(Style.PlainColor, Style.HillColor, s);
  }
  const std::uint64_t aboveHill = (t.Mantissa << toUnits) - HillPosition;  // exact in extended
  return BlendColor(Style.HillColor, Style.MountainColor,
                    ExtendedQuotientToDouble(aboveHill, HillToMountain));
}

THeightColors BuildHeightColors(const TMapStyle& Style, std::int32_t WaterLevel) {
  CheckArgument("WaterLevel", WaterLevel, 0, MaxWaterLevel);
  THeightColors colors{};
  for (std::int32_t i = 0; i < 256; ++i) {
    if (i > WaterLevel) {
      colors[i] = LandColor(Style, ExtendedQuotientToDouble(i - WaterLevel, 255 - WaterLevel));
    } else if (WaterLevel == 0) {
      colors[i] = Style.SeaMinColor;
    } else {
      colors[i] =
          BlendColor(Style.SeaMinColor, Style.SeaMaxColor, ExtendedQuotientToDouble(i, WaterLevel));
    }
  }
  return colors;
}

}  // namespace hillograph
