#include "synthesis/raster/LabelFont.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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

// Town positions after the first depend on these numbers: a change here moves towns.
TEST(LabelFontTest, Metrics) {
  const struct {
    std::string text;
    std::int32_t width;
  } cases[] = {{"", 0},
               {"Wekij", 37},
               {"W", 13},
               {"\xC3\x9Cmr\xC3\xBCv", 44},            // Ümrüv
               {"Ys\xC3\xA4m\xC3\xA4k\xC3\xB6m", 73},  // Ysämäköm
               {"  ", 8},
               {std::string(80000, 'W'), 1040000},
               {std::string(80659, 'W'), LabelWidthLimit - 9},
               {std::string(80660, 'W'), LabelWidthLimit},
               {std::string(5'000'000, 'W'), LabelWidthLimit}};
  for (const auto& c : cases) {
    for (const TFontStyles style : {Regular, Italic, Underlined})
      EXPECT_EQ(LabelTextWidth(c.text, style), c.width) << c.text.substr(0, 10);
  }
  for (const TFontStyles style : {Regular, Italic, Underlined})
    EXPECT_EQ(LabelTextHeight(style), 17);
}

// Ink only in blends of the font colour, inside the cell give or take the few pixels by which j
// and slanted letters reach past their advances; an underline all along the advance, on the
// baseline; and on a small picture, exactly the part of the label that a large one shows.
TEST(LabelFontTest, GlyphsAreBlendedInsideTheirCellAndClipped) {
  constexpr std::int32_t X = 30, Y = 30;
  const struct {
    std::string text;
    TFontStyles style;
  } cases[] = {
      {"Wekij", Regular},
      {"Jupotso", Italic},
      {"Ky\xC3\xBCvjel", Underlined},
      {"\xCE\xA9 \xE2\x82\xAC \xFF", Regular},  // beyond Latin-1, and a byte that is no UTF-8
  };
  for (const auto& c : cases) {
    TPicture whole = FilledPicture(100, 60, White);
    DrawLabelText(whole, X, Y, c.text, c.style, Navy);
    const std::int32_t width = LabelTextWidth(c.text, c.style);
    int pixels = 0, fullyInked = 0;
    for (std::int32_t y = 0; y < 60; ++y) {
      for (std::int32_t x = 0; x < 100; ++x) {
        const TColor p = PixelAt(whole, x, y);
        if (p == White) continue;
        ++pixels;
        fullyInked += p == Navy;
        ASSERT_TRUE(RedOf(p) == GreenOf(p) && BlueOf(p) >= 128 && BlueOf(p) >= RedOf(p));
        ASSERT_TRUE(x >= X - 3 && x <= X + width + 1 && y >= Y && y < Y + 17) << x << ", " << y;
      }
    }
    EXPECT_GT(pixels, 20) << c.text;
    EXPECT_GT(fullyInked, 0) << c.text;
    for (std::int32_t x = X; x < X + width; ++x)
      EXPECT_TRUE(!c.style.Underline || PixelAt(whole, x, Y + 13) == Navy) << c.text << x;
    for (const auto& [x0, y0] : {std::pair{-20, -5}, {-3, 10}, {10, -10}, {15, 15}}) {
      TPicture part = FilledPicture(20, 20, White);
      DrawLabelText(part, x0, y0, c.text, c.style, Navy);
      for (std::int32_t y = 0; y < 20; ++y) {
        for (std::int32_t x = 0; x < 20; ++x)
          ASSERT_EQ(PixelAt(part, x, y), PixelAt(whole, x - x0 + X, y - y0 + Y)) << c.text;
      }
    }
  }
}

}  // namespace
}  // namespace hillograph
