// Labels whose glyphs lie wholly outside the picture leave it untouched, without the blitter
// forming pointers outside the picture's rows: with a picture of no columns those are offsets from
// a null pointer, which the undefined behaviour sanitizer reports when clang builds the tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "synthesis/raster/LabelFont.h"
#include "tests/synthesis/PictureTesting.h"

namespace hillograph {
namespace {

constexpr TColor White = RGB(255, 255, 255);

TEST(LabelClippingTest, GlyphsOutsideThePictureDrawNothing) {
  const struct {
    const char* what;
    std::int32_t width, height;
    std::int32_t x, y;
  } cases[] = {
      // No column at all: every glyph lies right of the picture, whose rows hold no bytes.
      {"zero width", 0, 30, 3, 5},
      {"right of the edge", 12, 30, 14, 5},
  };
  const std::string text = "Wij\xC3\xB8q";  // Wijøq
  for (const auto& c : cases) {
    for (const TFontStyles style : {TFontStyles{.Italic = true}, TFontStyles{.Underline = true}}) {
      TPicture picture = testing::FilledPicture(c.width, c.height, White);
      DrawLabelText(picture, c.x, c.y, text, style, RGB(0, 0, 128));
      for (std::int32_t y = 0; y < c.height; ++y) {
        for (std::int32_t x = 0; x < c.width; ++x)
          ASSERT_EQ(testing::PixelAt(picture, x, y), White) << c.what << " at " << x << ", " << y;
      }
    }
  }
}

}  // namespace
}  // namespace hillograph
