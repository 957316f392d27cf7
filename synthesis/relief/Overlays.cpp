#include "synthesis/relief/Overlays.h"

#include <cstdint>

#include "synthesis/base/ArgumentCheck.h"

namespace hillograph {
namespace {

void BlendPixel(std::uint8_t* p, std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
  p[0] = BlendTowardGrid(p[0], blue);
  p[1] = BlendTowardGrid(p[1], green);
  p[2] = BlendTowardGrid(p[2], red);
}

}  // namespace

void DrawGrid(const TScanLines& Lines, std::int32_t Width, std::int32_t Height, TColor GridColor,
              std::int32_t GridSize) {
  CheckArgument("GridSize", GridSize, 1, INT32_MAX);
  CheckArgument("scan lines", static_cast<std::int64_t>(Lines.size()), Height, Height);
  const std::uint8_t blue = BlueOf(GridColor);
  const std::uint8_t green = GreenOf(GridColor);
  const std::uint8_t red = RedOf(GridColor);
  for (std::int32_t k = 1; k <= (Width - 1) / GridSize; ++k) {
    const std::ptrdiff_t offset = 3 * static_cast<std::ptrdiff_t>(k) * GridSize;
    for (std::int32_t y = 0; y < Height; ++y)
      BlendPixel(Lines[y] + offset, blue, green, red);
  }
  for (std::int32_t k = 1; k <= (Height - 1) / GridSize; ++k) {
    std::uint8_t* p = Lines[static_cast<std::size_t>(k) * GridSize];
    for (std::int32_t x = 0; x < Width; ++x, p += 3)
      BlendPixel(p, blue, green, red);
  }
}

void DrawFrame(TCanvas& Canvas, TColor MapFrameColor) {
  Canvas.BrushColor = MapFrameColor;
  Canvas.FrameRect(Canvas.ClipRect());
}

}  // namespace hillograph
