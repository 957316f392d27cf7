#include "synthesis/relief/ReliefPalette.h"

#include <algorithm>

#include "synthesis/relief/Relief.h"

namespace hillograph {
namespace {

// Heights are bytes; the largest drop between two heights of a finished field (1 .. 255).
constexpr std::int32_t HeightLevels = 256;
constexpr std::int32_t MaxHeightDrop = 254;

TPixelBytes PixelBytesOf(TColor color) {
  return TPixelBytes{BlueOf(color)} | TPixelBytes{GreenOf(color)} << 8 |
         TPixelBytes{RedOf(color)} << 16;
}

}  // namespace

TReliefPalette::TReliefPalette(const THeightColors& HeightColors, std::int32_t WaterLevel,
                               const TMapStyle& Style)
    : maxDrop_(static_cast<std::uint8_t>(std::min(Style.ShadowDivisor, MaxHeightDrop))),
      entries_(static_cast<std::size_t>(HeightLevels) * CodesPerHeight()) {
  std::vector<std::uint32_t> factors(maxDrop_ + 1u);
  for (std::int32_t drop = 0; drop <= maxDrop_; ++drop)
    factors[drop] = ShadeFactor(drop, Style.ShadowDivisor);
  for (std::int32_t h = 0; h < HeightLevels; ++h) {
    TPixelBytes* const row = &entries_[Index(static_cast<std::uint8_t>(h), 0)];
    if (h <= WaterLevel) {
      row[0] = PixelBytesOf(HeightColors[h]);  // the only code of a water pixel
      continue;
    }
    for (std::int32_t drop = 0; drop <= maxDrop_; ++drop)
      row[drop] = PixelBytesOf(Shade(HeightColors[h], factors[drop]));
    row[CoastCode()] = PixelBytesOf(Style.LandBorderColor);
  }
}

}  // namespace hillograph
