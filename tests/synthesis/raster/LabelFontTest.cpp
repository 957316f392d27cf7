#include "synthesis/raster/LabelFont.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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

// Town positions after the first depend on these numbers: a change here moves towns.
TEST(LabelFontTest, MetricsOfTheBuiltInFaces) {
  const struct {
    std::string text;
    std::int32_t regular;
    std::int32_t italic;
  } cases[] = {
      {"", 0, 0},
      {"Wekij", 37, 37},
      {"Alpha", 37, 37},
      {"W", 13, 13},
      {"\xC3\x9Cmr\xC3\xBCv", 44, 44},            // Ümrüv
      {"Ys\xC3\xA4m\xC3\xA4k\xC3\xB6m", 73, 73},  // Ysämäköm
      {"  ", 8, 8},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LabelTextWidth(c.text, Regular), c.regular) << c.text;
    EXPECT_EQ(LabelTextWidth(c.text, Underlined), c.regular) << c.text;
    EXPECT_EQ(LabelTextWidth(c.text, Italic), c.italic) << c.text;
  }
  for (const TFontStyles style : {Regular, Italic, Underlined})
    EXPECT_EQ(LabelTextHeight(style), 17);
}

TEST(LabelFontTest, WidthsCountUpToTheLimit) {
  // W is 13 pixels wide: 80000 of them are 1040000 pixels, 90000 would be more than the limit.
  const struct {
    std::size_t letters;
    std::int32_t width;
  } cases[] = {{80000, 1040000},
               {80659, LabelWidthLimit - 9},
               {80660, LabelWidthLimit},
               {90000, LabelWidthLimit},
               {5'000'000, LabelWidthLimit}};
  for (const auto& c : cases) {
    for (const TFontStyles style : {Regular, Italic})
      EXPECT_EQ(LabelTextWidth(std::string(c.letters, 'W'), style), c.width) << c.letters;
  }
}

struct TInk {
  std::int32_t left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // right, bottom inclusive
  int pixels = 0;
  int fullyInked = 0;
  bool onlyBlends = true;  // every changed pixel lies between white and navy
};

TInk InkOf(const TPicture& picture) {
  TInk ink;
  for (std::int32_t y = 0; y < picture.Height(); ++y) {
    for (std::int32_t x = 0; x < picture.Width(); ++x) {
      const TColor c = PixelAt(picture, x, y);
      if (c == White) continue;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y);
      ++ink.pixels;
      ink.fullyInked += c == Navy;
      ink.onlyBlends =
          ink.onlyBlends && RedOf(c) == GreenOf(c) && BlueOf(c) >= 128 && BlueOf(c) >= RedOf(c);
    }
  }
  return ink;
}

TEST(LabelFontTest, GlyphsAreBlendedInTheFontColourInsideTheirCell) {
  constexpr std::int32_t X = 6, Y = 4;
  const struct {
    std::string text;
    TFontStyles style;
  } cases[] = {
      {"Wekij", Regular},
      {"Wekij", Italic},
      {"\xC3\x9Cmr\xC3\xBCv", Regular},
      {"Jupotso", Italic},
      {"\xCE\xA9 \xE2\x82\xAC \xFF", Regular},  // beyond Latin-1, and a byte that is no UTF-8
  };
  for (const auto& c : cases) {
    TPicture picture = FilledPicture(80, 30, White);
    DrawLabelText(picture, X, Y, c.text, c.style, Navy);
    const TInk ink = InkOf(picture);
    const std::int32_t width = LabelTextWidth(c.text, c.style);
    EXPECT_GT(ink.pixels, 20) << c.text;
    EXPECT_GT(ink.fullyInked, 0) << c.text;
    EXPECT_TRUE(ink.onlyBlends) << c.text;
    // Glyphs may reach a few pixels beyond their advances (j, slanted letters).
    EXPECT_GE(ink.left, X - 3) << c.text;
    EXPECT_LE(ink.right, X + width + 1) << c.text;
    EXPECT_GE(ink.top, Y) << c.text;
    EXPECT_LT(ink.bottom, Y + LabelTextHeight(c.style)) << c.text;
  }
}

TEST(LabelFontTest, UnderlineRunsUnderTheWholeAdvanceBelowTheBaseline) {
  constexpr std::int32_t X = 3, Y = 2, Baseline = Y + 13;
  TPicture regular = FilledPicture(60, 25, White);
  TPicture underlined = FilledPicture(60, 25, White);
  DrawLabelText(regular, X, Y, "Alpha", Regular, Navy);
  DrawLabelText(underlined, X, Y, "Alpha", Underlined, Navy);
  const std::int32_t width = LabelTextWidth("Alpha", Underlined);
  for (std::int32_t y = 0; y < 25; ++y) {
    for (std::int32_t x = 0; x < 60; ++x) {
      const bool underline = y == Baseline && x >= X && x < X + width;
      EXPECT_EQ(PixelAt(underlined, x, y), underline ? Navy : PixelAt(regular, x, y))
          << x << ", " << y;
    }
  }
  // The letters stand on the baseline: ink just above it, none on it but the p's descender.
  EXPECT_NE(PixelAt(regular, X + 1, Baseline - 1), White);
  EXPECT_EQ(PixelAt(regular, X + 1, Baseline), White);
}

TEST(LabelFontTest, TextIsClippedAtEveryEdge) {
  // Drawn on a small picture, a label shows exactly the part it shows on a large one.
  constexpr std::int32_t Big = 90, Small = 20, Offset = 30;
  const std::string text = "Ky\xC3\xBCvjel";
  for (const TFontStyles style : {Regular, Italic, Underlined}) {
    TPicture whole = FilledPicture(Big, Big, White);
    DrawLabelText(whole, Offset, Offset, text, style, Navy);
    for (const auto& [x0, y0] : {std::pair{-20, -5}, {-3, 10}, {10, -10}, {15, 15}, {-40, 0}}) {
      TPicture part = FilledPicture(Small, Small, White);
      DrawLabelText(part, x0, y0, text, style, Navy);
      for (std::int32_t y = 0; y < Small; ++y) {
        for (std::int32_t x = 0; x < Small; ++x) {
          ASSERT_EQ(PixelAt(part, x, y), PixelAt(whole, x - x0 + Offset, y - y0 + Offset))
              << "text at " << x0 << ", " << y0 << ", pixel " << x << ", " << y;
        }
      }
    }
  }
}

TEST(LabelFontTest, ASolidBrushFillsTheCellFirst) {
  constexpr TColor Brush = RGB(250, 240, 10);
  TPicture picture = FilledPicture(60, 30, White);
  TCanvas canvas(picture);
  canvas.Font.Color = Navy;
  canvas.BrushColor = Brush;
  canvas.TextOut(4, 5, "Amt");
  const std::int32_t width = canvas.TextWidth("Amt");
  const std::int32_t height = canvas.TextHeight("Amt");
  int brushPixels = 0;
  for (std::int32_t y = 0; y < 30; ++y) {
    for (std::int32_t x = 0; x < 60; ++x) {
      const bool inCell = x >= 4 && x < 4 + width && y >= 5 && y < 5 + height;
      const TColor c = PixelAt(picture, x, y);
      if (!inCell) {
        EXPECT_EQ(c, White) << x << ", " << y;
      } else {
        EXPECT_NE(c, White) << x << ", " << y;
        brushPixels += c == Brush;
      }
    }
  }
  EXPECT_GT(brushPixels, width * height / 2);
}

}  // namespace
}  // namespace hillograph
