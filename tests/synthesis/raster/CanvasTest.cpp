#include "synthesis/raster/Canvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/synthesis/PictureTesting.h"

namespace hillograph {
namespace {

using testing::FilledPicture;
using testing::PixelAt;

constexpr TColor Paper = RGB(10, 20, 30);
constexpr TColor Fill = RGB(200, 100, 50);

// The ellipse in a w x h box at (Left, Top) on a Width x Height picture, as rows of '#'
// (outline), 'o' (fill) and '.' (untouched).
std::vector<std::string> Ellipse(std::int32_t Width, std::int32_t Height, TRect box) {
  TPicture picture = FilledPicture(Width, Height, Paper);
  TCanvas canvas(picture);
  canvas.BrushColor = Fill;
  canvas.Ellipse(box.Left, box.Top, box.Right, box.Bottom);
  std::vector<std::string> rows(Height, std::string(Width, '?'));
  for (std::int32_t y = 0; y < Height; ++y) {
    for (std::int32_t x = 0; x < Width; ++x) {
      const TColor c = PixelAt(picture, x, y);
      rows[y][x] = c == clBlack ? '#' : c == Fill ? 'o' : c == Paper ? '.' : '?';
    }
  }
  return rows;
}

TEST(CanvasTest, TheTownMarker) {
  const std::vector<std::string> expected = {"............", "....####....", "..##oooo##..",
                                             "..#oooooo#..", ".#oooooooo#.", ".#oooooooo#.",
                                             ".#oooooooo#.", ".#oooooooo#.", "..#oooooo#..",
                                             "..##oooo##..", "....####....", "............"};
  EXPECT_EQ(Ellipse(12, 12, {1, 1, 11, 11}), expected);
}

// Symmetric, inside its box, the fill closed in by an outline no thicker than it must be; and
// drawn across an edge, it shows there what it shows inside a larger picture.
TEST(CanvasTest, EllipsesOfEverySize) {
  for (std::int32_t w = 0; w <= 20; ++w) {
    for (std::int32_t h = 1; h <= 20; ++h) {
      const std::vector<std::string> rows = Ellipse(w + 2, h + 2, {1, 1, 1 + w, 1 + h});
      const auto at = [&](std::int32_t x, std::int32_t y) { return rows[y + 1][x + 1]; };
      for (std::int32_t y = -1; y <= h; ++y) {
        for (std::int32_t x = -1; x <= w; ++x) {
          const char c = at(x, y);
          const bool inBox = x >= 0 && y >= 0 && x < w && y < h;
          ASSERT_TRUE(inBox ? c != '?' && c == at(w - 1 - x, y) && c == at(x, h - 1 - y) : c == '.')
              << w << " x " << h << " at " << x << ", " << y;
          if (!inBox) continue;
          int outside = 0;
          for (const auto& [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
            outside += c != '.' && at(x + dx, y + dy) == '.';
          ASSERT_EQ(outside > 0, c == '#') << w << " x " << h << " at " << x << ", " << y;
        }
      }
    }
  }
  const std::vector<std::string> whole = Ellipse(40, 40, {11, 11, 21, 21});
  for (const auto& [cx, cy] : {std::pair{0, 0}, {7, 7}, {3, -4}, {-4, 3}, {12, 3}}) {
    const std::vector<std::string> part = Ellipse(8, 8, {cx - 5, cy - 5, cx + 5, cy + 5});
    for (std::int32_t y = 0; y < 8; ++y)
      EXPECT_EQ(part[y], whole[y - cy + 16].substr(16 - cx, 8)) << cx << ", " << cy;
  }
}

}  // namespace
}  // namespace hillograph
