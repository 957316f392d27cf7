#include "synthesis/relief/Overlays.h"

#include <algorithm>
#include <cstdint>

#include "synthesis/base/ArgumentCheck.h"
#include "synthesis/relief/Relief.h"

namespace hillograph {
namespace {

// Rows a member takes at a time.
constexpr std::int32_t GridBandRows = 64;

void BlendPixel(std::uint8_t* p, std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
  p[0] = BlendTowardGrid(p[0], blue);
  p[1] = BlendTowardGrid(p[1], green);
  p[2] = BlendTowardGrid(p[2], red);
}

}  // namespace

void DrawGrid(const TScanLines& Lines, std::int32_t Width, std::int32_t Height, TColor GridColor,
              std::int32_t GridSize, TWorkerTeam* Team) {
  CheckArgument("GridSize", GridSize, 1, INT32_MAX);
  CheckArgument("scan lines", static_cast<std::int64_t>(Lines.size()), Height, Height);
  const std::uint8_t blue = BlueOf(GridColor);
  const std::uint8_t green = GreenOf(GridColor);
  const std::uint8_t red = RedOf(GridColor);
  // A crossing is blended by its column first, then by its row, in whichever band it lies.
  const auto band = [&](std::int32_t y0, std::int32_t y1) {
    for (std::int32_t y = y0; y < y1; ++y) {
      for (std::int64_t x = GridSize; x < Width; x += GridSize)
        BlendPixel(Lines[y] + 3 * x, blue, green, red);
    }
    // The first row past 0 at or after y0 on the grid.
    const std::int64_t first = (std::max<std::int64_t>(y0, 1) + GridSize - 1) / GridSize * GridSize;
    for (std::int64_t y = first; y < y1; y += GridSize) {
      std::uint8_t* p = Lines[y];
      for (std::int32_t x = 0; x < Width; ++x, p += 3)
        BlendPixel(p, blue, green, red);
    }
  };
  const std::int32_t bands = (Height + GridBandRows - 1) / GridBandRows;
  const std::int32_t members = PixelPassMembers(Team, bands, std::int64_t{Width} * Height);
  ShareOut(Team, members, bands, [&](std::int32_t b, std::int32_t) noexcept {
    band(b * GridBandRows, std::min((b + 1) * GridBandRows, Height));
  });
}

void DrawFrame(TCanvas& Canvas, TColor MapFrameColor) {
  Canvas.BrushColor = MapFrameColor;
  Canvas.FrameRect(Canvas.ClipRect());
}

}  // namespace hillograph
