// Drawing on pictures: the town marker and the labels.
#include "synthesis/raster/LabelFont.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "synthesis/raster/Canvas.h"
#include "tests/synthesis/PictureTesting.h"

namespace hillograph {
namespace {

using testing::FilledPicture;
using testing::PixelAt;

constexpr TFontStyles Regular{};
constexpr TFontStyles Italic{.Italic = true};
constexpr TFontStyles Underlined{.Underline = true};
constexpr TColor Navy = RGB(0, 0, 128);
constexpr TColor White = RGB(255, 255, 255);

// '#' the outline, 'o' the fill and '.' untouched.
TEST(CanvasTest, TheTownMarker) {
  constexpr TColor Paper = RGB(10, 20, 30), Fill = RGB(200, 100, 50);
  TPicture picture = FilledPicture(12, 12, Paper);
  TCanvas canvas(picture);
  canvas.BrushColor = Fill;
  canvas.Ellipse(1, 1, 11, 11);
  std::vector<std::string> rows(12, std::string(12, '?'));
  for (std::int32_t y = 0; y < 12; ++y) {
    for (std::int32_t x = 0; x < 12; ++x) {
      const TColor c = PixelAt(picture, x, y);
      rows[y][x] = c == clBlack ? '#' : c == Fill ? 'o' : c == Paper ? '.' : '?';
    }
  }
  const std::vector<std::string> expected = {"............", "....####....", "..##oooo##..",
                                             "..#oooooo#..", ".#oooooooo#.", ".#oooooooo#.",
                                             ".#oooooooo#.", ".#oooooooo#.", "..#oooooo#..",
                                             "..##oooo##..", "....####....", "............"};
  EXPECT_EQ(rows, expected);
}

// Town positions after the first depend on these numbers: a change here moves towns.
TEST(LabelFontTest, Metrics) {
  const struct {
    std::string text;
    std::int32_t width;
  } cases[] = {{"", 0},
               {"Wekij", 37},
               {"Ys\xC3\xA4m\xC3\xA4k\xC3\xB6m", 73},  // Ysämäköm
               {"  ", 8},
               {std::string(80659, 'W'), LabelWidthLimit - 9},
               {std::string(80660, 'W'), LabelWidthLimit},
               {std::string(5'000'000, 'W'), LabelWidthLimit}};
  for (const auto& c : cases) {
    for (const TFontStyles style : {Regular, Italic, Underlined})
      EXPECT_EQ(LabelTextWidth(c.text, style), c.width) << c.text.substr(0, 10);
  }
  EXPECT_EQ(LabelTextHeight(Italic), 17);
}

// Ink, an underline all along the advance on the baseline, and on a small picture exactly the
// part of the label that a large one shows.
TEST(LabelFontTest, GlyphsAreClippedAtTheEdges) {
  const struct {
    std::string text;
    TFontStyles style;
  } cases[] = {{"Wekij", Regular},
               {"Ky\xC3\xBCvjel", Underlined},
               {"Jup \xCE\xA9 \xE2\x82\xAC \xFF", Italic}};  // beyond Latin-1, and no UTF-8
  for (const auto& c : cases) {
    TPicture whole = FilledPicture(100, 60, White);
    DrawLabelText(whole, 30, 30, c.text, c.style, Navy);
    int inked = 0;
    for (std::int32_t i = 0; i < 100 * 60; ++i)
      inked += PixelAt(whole, i % 100, i / 100) != White;
    EXPECT_GT(inked, 20) << c.text;
    for (std::int32_t x = 30; x < 30 + LabelTextWidth(c.text, c.style); ++x)
      EXPECT_TRUE(!c.style.Underline || PixelAt(whole, x, 43) == Navy) << c.text << x;
    for (const auto& [x0, y0] : {std::pair{-20, -5}, {-3, 10}, {15, 15}}) {
      TPicture part = FilledPicture(20, 20, White);
      DrawLabelText(part, x0, y0, c.text, c.style, Navy);
      for (std::int32_t y = 0; y < 20; ++y) {
        for (std::int32_t x = 0; x < 20; ++x)
          ASSERT_EQ(PixelAt(part, x, y), PixelAt(whole, x - x0 + 30, y - y0 + 30)) << c.text;
      }
    }
  }
}

// Glyphs wholly outside the picture leave it untouched, without forming pointers past its rows:
// with no columns those are offsets from a null pointer, which the undefined behaviour sanitizer
// reports when clang builds the tests.
TEST(LabelClippingTest, GlyphsOutsideThePictureDrawNothing) {
  for (const auto& [width, x] : {std::pair{0, 3}, {12, 14}}) {
    for (const TFontStyles style : {Italic, Underlined}) {
      TPicture picture = FilledPicture(width, 30, White);
      DrawLabelText(picture, x, 5, "Wij\xC3\xB8q", style, Navy);
      for (std::int32_t y = 0; y < 30; ++y) {
        for (std::int32_t column = 0; column < width; ++column)
          ASSERT_EQ(PixelAt(picture, column, y), White) << width << ": " << column << ", " << y;
      }
    }
  }
}

}  // namespace
}  // namespace hillograph
