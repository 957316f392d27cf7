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

// The ellipse in a w x h box drawn at (1, 1) on a picture with a one-pixel margin, as rows of
// '#' (outline), 'o' (fill) and '.' (untouched), margin included.
std::vector<std::string> EllipseRows(std::int32_t w, std::int32_t h,
                                     TBrushStyle brush = TBrushStyle::bsSolid) {
  TPicture picture = FilledPicture(w + 2, h + 2, Paper);
  TCanvas canvas(picture);
  canvas.BrushColor = Fill;
  canvas.BrushStyle = brush;
  canvas.Ellipse(1, 1, 1 + w, 1 + h);
  std::vector<std::string> rows;
  for (std::int32_t y = 0; y < h + 2; ++y) {
    std::string row;
    for (std::int32_t x = 0; x < w + 2; ++x) {
      const TColor c = PixelAt(picture, x, y);
      row += c == clBlack ? '#' : c == Fill ? 'o' : c == Paper ? '.' : '?';
    }
    rows.push_back(row);
  }
  return rows;
}

TEST(CanvasTest, TheTownMarkerEllipse) {
  const std::vector<std::string> expected = {
      "............",  //
      "....####....",  //
      "..##oooo##..",  //
      "..#oooooo#..",  //
      ".#oooooooo#.",  //
      ".#oooooooo#.",  //
      ".#oooooooo#.",  //
      ".#oooooooo#.",  //
      "..#oooooo#..",  //
      "..##oooo##..",  //
      "....####....",  //
      "............",
  };
  EXPECT_EQ(EllipseRows(10, 10), expected);
}

TEST(CanvasTest, EllipsesAreSymmetricClosedAndStayInTheirBox) {
  for (std::int32_t w = 1; w <= 24; ++w) {
    for (std::int32_t h = 1; h <= 24; ++h) {
      const std::vector<std::string> rows = EllipseRows(w, h);
      const auto at = [&](std::int32_t x, std::int32_t y) { return rows[y + 1][x + 1]; };
      const std::string box = std::to_string(w) + " x " + std::to_string(h);
      for (std::int32_t y = -1; y <= h; ++y) {
        for (std::int32_t x = -1; x <= w; ++x) {
          const char c = at(x, y);
          const bool inBox = x >= 0 && y >= 0 && x < w && y < h;
          ASSERT_TRUE(inBox || c == '.') << box << " spills at " << x << ", " << y;
          if (!inBox) continue;
          ASSERT_EQ(c, at(w - 1 - x, y)) << box << " not mirrored across at " << x << ", " << y;
          ASSERT_EQ(c, at(x, h - 1 - y)) << box << " not mirrored down at " << x << ", " << y;
          if (c == 'o') {  // the outline closes the fill in
            for (const auto& [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
              ASSERT_NE(at(x + dx, y + dy), '.') << box << " leaks at " << x << ", " << y;
          } else if (c == '#') {  // and is no thicker than it needs to be
            bool touchesOutside = false;
            for (const auto& [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
              touchesOutside = touchesOutside || at(x + dx, y + dy) == '.';
            ASSERT_TRUE(touchesOutside) << box << " outline inside at " << x << ", " << y;
          }
        }
      }
      if (w >= 3 && h >= 3) {  // it reaches all four sides of its box
        EXPECT_NE(rows[1].find('#'), std::string::npos) << box;
        EXPECT_NE(rows[h].find('#'), std::string::npos) << box;
        bool left = false, right = false;
        for (const std::string& row : rows) {
          left = left || row[1] == '#';
          right = right || row[w] == '#';
        }
        EXPECT_TRUE(left && right) << box;
      }
    }
  }
}

TEST(CanvasTest, AClearBrushDrawsOnlyTheOutline) {
  const std::vector<std::string> solid = EllipseRows(10, 7);
  const std::vector<std::string> clear = EllipseRows(10, 7, TBrushStyle::bsClear);
  for (std::size_t y = 0; y < solid.size(); ++y) {
    std::string expected = solid[y];
    for (char& c : expected)
      c = c == 'o' ? '.' : c;
    EXPECT_EQ(clear[y], expected);
  }
}

TEST(CanvasTest, EllipsesAreClippedAtEveryEdge) {
  // Drawn on a small picture, a marker shows exactly the part that the same marker shows on a
  // large picture.
  constexpr std::int32_t Big = 40, Small = 8, Offset = 16;
  TPicture whole = FilledPicture(Big, Big, Paper);
  TCanvas wholeCanvas(whole);
  wholeCanvas.BrushColor = Fill;
  wholeCanvas.Ellipse(Offset - 5, Offset - 5, Offset + 5, Offset + 5);
  for (const auto& [cx, cy] :
       {std::pair{0, 0}, {7, 0}, {0, 7}, {7, 7}, {3, -4}, {-4, 3}, {12, 3}}) {
    TPicture part = FilledPicture(Small, Small, Paper);
    TCanvas canvas(part);
    canvas.BrushColor = Fill;
    canvas.Ellipse(cx - 5, cy - 5, cx + 5, cy + 5);
    for (std::int32_t y = 0; y < Small; ++y) {
      for (std::int32_t x = 0; x < Small; ++x) {
        ASSERT_EQ(PixelAt(part, x, y), PixelAt(whole, x - cx + Offset, y - cy + Offset))
            << "centre " << cx << ", " << cy << " at " << x << ", " << y;
      }
    }
  }
}

TEST(CanvasTest, EmptyBoxesDrawNothing) {
  for (const TRect box : {TRect{3, 3, 3, 8}, TRect{3, 3, 8, 3}, TRect{5, 5, 2, 2}}) {
    TPicture picture = FilledPicture(10, 10, Paper);
    TCanvas canvas(picture);
    canvas.Ellipse(box.Left, box.Top, box.Right, box.Bottom);
    for (std::int32_t y = 0; y < 10; ++y) {
      for (std::int32_t x = 0; x < 10; ++x)
        ASSERT_EQ(PixelAt(picture, x, y), Paper);
    }
  }
}

}  // namespace
}  // namespace hillograph
