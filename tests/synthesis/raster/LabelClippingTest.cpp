// Labels whose glyphs lie wholly outside the picture leave it untouched, without the blitter
// forming pointers outside the picture's rows: with a picture of no columns those are offsets from
// a null pointer, which the undefined behaviour sanitizer reports when clang builds the tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "synthesis/raster/LabelFont.h"
#include "tests/synthesis/PictureTesting.h"

namespace hillograph {
namespace {

TEST(LabelClippingTest, GlyphsOutsideThePictureDrawNothing) {
  constexpr TColor White = RGB(255, 255, 255);
  // {width, x}: no column at all (the rows hold no bytes), and right of the edge.
  for (const auto& [width, x] : {std::pair{0, 3}, {12, 14}}) {
    for (const TFontStyles style : {TFontStyles{.Italic = true}, TFontStyles{.Underline = true}}) {
      TPicture picture = testing::FilledPicture(width, 30, White);
      DrawLabelText(picture, x, 5, "Wij\xC3\xB8q", style, RGB(0, 0, 128));
      for (std::int32_t y = 0; y < 30; ++y) {
        for (std::int32_t column = 0; column < width; ++column)
          ASSERT_EQ(testing::PixelAt(picture, column, y), White)
              << width << ": " << column << ", " << y;
      }
    }
  }
}

}  // namespace
}  // namespace hillograph
