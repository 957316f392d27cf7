#include "synthesis/Relief.h"

#include <algorithm>

namespace hillograph {

TWaterMask BuildWaterMask(const THeightField& Heights, std::int32_t WaterLevel) {
  TWaterMask mask(Heights.Width(), Heights.Height());
  const std::size_t cells =
      static_cast<std::size_t>(Heights.Width()) * static_cast<std::size_t>(Heights.Height());
  const std::uint8_t* h = Heights.Data();
  std::uint8_t* m = mask.Data();
  for (std::size_t i = 0; i < cells; ++i)
    m[i] = h[i] <= WaterLevel ? 1 : 0;
  return mask;
}

TColor ShadeColor(TColor Color, std::int32_t Drop, std::int32_t ShadowDivisor) {
  const std::int32_t q = Drop * 256 / ShadowDivisor;
  const std::uint32_t f = static_cast<std::uint32_t>(256 - std::min(256, q));
  return RGB(RedOf(Color) * f >> 8, GreenOf(Color) * f >> 8, BlueOf(Color) * f >> 8);
}

void PaintRelief(const THeightField& Heights, const TWaterMask& WaterMask, std::int32_t WaterLevel,
                 const THeightColors& HeightColors, const TMapStyle& Style,
                 const TScanLines& Lines) {
  const std::int32_t width = Heights.Width();
  const std::int32_t height = Heights.Height();
  for (std::int32_t x = 0; x < width; ++x) {
    const std::uint8_t* column = Heights[x];
    for (std::int32_t y = 0; y < height; ++y) {
      const std::int32_t h = column[y];
      TColor color;
      if (h <= WaterLevel) {
        color = HeightColors[h];
      } else {
        // Points outside the picture never count as water.
        const bool coast =
            (x > 0 && WaterMask[x - 1][y]) || (x < width - 1 && WaterMask[x + 1][y]) ||
            (y > 0 && WaterMask[x][y - 1]) || (y < height - 1 && WaterMask[x][y + 1]);
        if (coast) {
          color = Style.LandBorderColor;
        } else {
          const std::int32_t down = y < height - 1 ? std::max(0, h - column[y + 1]) : 0;
          const std::int32_t right = x < width - 1 ? std::max(0, h - Heights[x + 1][y]) : 0;
          color = ShadeColor(HeightColors[h], std::max(right, down), Style.ShadowDivisor);
        }
      }
      std::uint8_t* p = Lines[y] + 3 * static_cast<std::ptrdiff_t>(x);
      p[0] = BlueOf(color);
      p[1] = GreenOf(color);
      p[2] = RedOf(color);
    }
  }
}

}  // namespace hillograph
