// The plasma written the plainest way, recursion and all: the oracle that the product's height
// field must equal cell for cell and draw for draw.
#pragma once

#include <cstdint>

#include "synthesis/random/Random.h"
#include "synthesis/terrain/Plasma.h"

namespace hillograph::testing {

class TPlasmaOracle {
 public:
  TPlasmaOracle(std::int32_t width, std::int32_t height, std::int32_t diversity)
      : Heights(width, height), diversity_(diversity) {
    Heights[0][0] = static_cast<std::uint8_t>(Random(255) + 1);
    Heights[width - 1][0] = static_cast<std::uint8_t>(Random(255) + 1);
    Heights[0][height - 1] = static_cast<std::uint8_t>(Random(255) + 1);
    Heights[width - 1][height - 1] = static_cast<std::uint8_t>(Random(255) + 1);
    Subdivide(0, 0, width - 1, height - 1);
  }

  THeightField Heights;

 private:
  void Subdivide(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    if (x2 - x1 < 2 && y2 - y1 < 2) return;
    ++depth_;
    const std::int32_t xm = (x1 + x2) / 2;
    const std::int32_t ym = (y1 + y2) / 2;
    Displace(xm, y1, x1, y1, x2, y1);
    Displace(x2, ym, x2, y1, x2, y2);
    Displace(xm, y2, x1, y2, x2, y2);
    Displace(x1, ym, x1, y1, x1, y2);
    if (Heights[xm][ym] == 0) {
      const std::int32_t s = Heights[xm][y1] + Heights[x2][ym] + Heights[xm][y2] + Heights[x1][ym];
      Heights[xm][ym] = static_cast<std::uint8_t>((s + 2) / 4);
    }
    Subdivide(x1, y1, xm, ym);
    Subdivide(xm, y1, x2, ym);
    Subdivide(xm, ym, x2, y2);
    Subdivide(x1, ym, xm, y2);
    --depth_;
  }

  void Displace(std::int32_t mx, std::int32_t my, std::int32_t ax, std::int32_t ay, std::int32_t bx,
                std::int32_t by) {
    if (Heights[mx][my] != 0) return;
    std::int32_t r = Random(diversity_) >> depth_;
    if (Random(2) != 0) r = -r;
    std::int32_t v = (Heights[ax][ay] + Heights[bx][by] + 1) / 2 + r;
    if (v < 1) v = 1;
    if (v > 250) v = 250;
    Heights[mx][my] = static_cast<std::uint8_t>(v);
  }

  std::int32_t diversity_;
  std::int32_t depth_ = 0;
};

}  // namespace hillograph::testing
