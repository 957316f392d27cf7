#include "synthesis/Plasma.h"

#include "synthesis/Random.h"

namespace hillograph {
namespace {

class TSubdivider {
 public:
  TSubdivider(THeightField& heights, std::int32_t diversity)
      : heights_(heights), diversity_(diversity) {}

  void Subdivide(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    if (x2 - x1 < 2 && y2 - y1 < 2) return;
    ++depth_;
    const std::int32_t xm = (x1 + x2) / 2;
    const std::int32_t ym = (y1 + y2) / 2;
    // Edge midpoints: top, right, bottom, left. A cell set earlier keeps its value.
    Displace(xm, y1, x1, y1, x2, y1);
    Displace(x2, ym, x2, y1, x2, y2);
    Displace(xm, y2, x1, y2, x2, y2);
    Displace(x1, ym, x1, y1, x1, y2);
    std::uint8_t& centre = heights_[xm][ym];
    if (centre == 0) {
      const std::int32_t sum =
          heights_[xm][y1] + heights_[x2][ym] + heights_[xm][y2] + heights_[x1][ym];
      centre = static_cast<std::uint8_t>((sum + 2) / 4);
    }
    Subdivide(x1, y1, xm, ym);
    Subdivide(xm, y1, x2, ym);
    Subdivide(xm, ym, x2, y2);
    Subdivide(x1, ym, xm, y2);
    --depth_;
  }

 private:
  void Displace(std::int32_t mx, std::int32_t my, std::int32_t ax, std::int32_t ay, std::int32_t bx,
                std::int32_t by) {
    std::uint8_t& cell = heights_[mx][my];
    if (cell != 0) return;
    std::int32_t offset = Random(diversity_) >> depth_;
    if (Random(2) != 0) offset = -offset;  // the sign is drawn even for an offset of 0
    std::int32_t v = (heights_[ax][ay] + heights_[bx][by] + 1) / 2 + offset;
    if (v < MinDisplacedHeight) {
      v = MinDisplacedHeight;
    } else if (v > MaxDisplacedHeight) {
      v = MaxDisplacedHeight;
    }
    cell = static_cast<std::uint8_t>(v);
  }

  THeightField& heights_;
  std::int32_t diversity_;
  std::int32_t depth_ = 0;
};

}  // namespace

TPlasmaFractal::TPlasmaFractal(std::int32_t Width, std::int32_t Height, std::int32_t Diversity)
    : Width(Width), Height(Height), Heights(Width, Height) {
  // Corners in the order top left, top right, bottom left, bottom right; on a 1-wide or 1-high
  // field later corners overwrite earlier ones, but all four are drawn.
  Heights[0][0] = static_cast<std::uint8_t>(Random(CornerHeightRange) + 1);
  Heights[Width - 1][0] = static_cast<std::uint8_t>(Random(CornerHeightRange) + 1);
  Heights[0][Height - 1] = static_cast<std::uint8_t>(Random(CornerHeightRange) + 1);
  Heights[Width - 1][Height - 1] = static_cast<std::uint8_t>(Random(CornerHeightRange) + 1);
  TSubdivider(Heights, Diversity).Subdivide(0, 0, Width - 1, Height - 1);
}

}  // namespace hillograph
