// The pixel pass written the plainest way, one pixel at a time down the columns: the oracle that
// the product's tiled pass must equal byte for byte.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "synthesis/relief/Relief.h"

namespace hillograph::testing {

inline void PaintReliefLiteral(const THeightField& Heights, std::int32_t WaterLevel,
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
        const auto water = [&](std::int32_t wx, std::int32_t wy) {
          return Heights[wx][wy] <= WaterLevel;
        };
        const bool coast = (x > 0 && water(x - 1, y)) || (x < width - 1 && water(x + 1, y)) ||
                           (y > 0 && water(x, y - 1)) || (y < height - 1 && water(x, y + 1));
        if (coast) {
          color = Style.LandBorderColor;
        } else {
          const std::int32_t down = y < height - 1 ? std::max(0, h - column[y + 1]) : 0;
          const std::int32_t right = x < width - 1 ? std::max(0, h - Heights[x + 1][y]) : 0;
          const std::int32_t q = std::max(right, down) * 256 / Style.ShadowDivisor;
          const auto f = static_cast<std::uint32_t>(256 - std::min(256, q));
          const TColor c = HeightColors[h];
          color = RGB(RedOf(c) * f >> 8, GreenOf(c) * f >> 8, BlueOf(c) * f >> 8);
        }
      }
      std::uint8_t* p = Lines[y] + 3 * static_cast<std::ptrdiff_t>(x);
      p[0] = BlueOf(color);
      p[1] = GreenOf(color);
      p[2] = RedOf(color);
    }
  }
}

}  // namespace hillograph::testing
