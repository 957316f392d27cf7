// The labels: their metrics, glyphs outside the picture, and whole maps with many labels pinned by
// checksums of their pixels (a change of a built-in face, of the way glyphs are rasterised or
// clipped at the edges, of underlines, of the town marker or of how labels are placed shows there).
#include "synthesis/raster/LabelFont.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>

#include "synthesis/Generator.h"
#include "synthesis/random/Random.h"
#include "synthesis/raster/Png.h"
#include "tests/TempFolder.h"
#include "tests/synthesis/PictureTesting.h"

namespace hillograph {
namespace {

using testing::FilledPicture;

constexpr TFontStyles Italic{.Italic = true};
constexpr TFontStyles Underlined{.Underline = true};
constexpr TColor Navy = RGB(0, 0, 128);
constexpr TColor White = RGB(255, 255, 255);

// Town positions after the first depend on these numbers: a change here moves towns. Ysämäköm
// is in UTF-8.
TEST(LabelFontTest, Metrics) {
  const std::pair<std::string, std::int32_t> cases[] = {
      {"Wekij", 37},
      {"Ys\xC3\xA4m\xC3\xA4k\xC3\xB6m", 73},
      {std::string(80659, 'W'), LabelWidthLimit - 9},
      {std::string(80660, 'W'), LabelWidthLimit},
      {std::string(5'000'000, 'W'), LabelWidthLimit}};
  for (const auto& [text, width] : cases) {
    for (const TFontStyles style : {TFontStyles{}, Italic, Underlined})
      EXPECT_EQ(LabelTextWidth(text, style), width) << text.substr(0, 10);
  }
  EXPECT_EQ(LabelTextHeight(Italic), 17);
}

// Glyphs wholly outside the picture leave it untouched, without forming pointers past its rows:
// with no columns those are offsets from a null pointer, which the undefined behaviour sanitizer
// reports when clang builds the tests.
TEST(LabelClippingTest, GlyphsOutsideThePictureDrawNothing) {
  for (const auto& [width, x] : {std::pair{0, 3}, {12, 14}}) {
    for (const TFontStyles style : {Italic, Underlined}) {
      TPicture picture = FilledPicture(width, 30, White);
      DrawLabelText(picture, x, 5, "Wij\xC3\xB8q", style, Navy);
      const TPicture blank = FilledPicture(width, 30, White);
      EXPECT_TRUE(std::equal(blank.Bits(), blank.Bits() + 30 * blank.Stride(), picture.Bits()));
    }
  }
}

// FNV-1a over the pixel rows, padding left out.
std::uint64_t PixelChecksum(const TPicture& picture) {
  std::uint64_t hash = 0xcbf29ce484222325;
  for (std::int32_t y = 0; y < picture.Height(); ++y) {
    for (std::int32_t i = 0; i < 3 * picture.Width(); ++i)
      hash = (hash ^ picture.ScanLine(y)[i]) * 0x100000001b3;
  }
  return hash;
}

TEST(GoldenMapsTest, MapsWithManyLabelsKeepTheirPixels) {
  const struct {
    std::int32_t width, height, diversity, waterLevel;
    std::uint32_t seed;
    double density;
    bool accented;
    std::uint64_t checksum;
    std::size_t pngSize;  // of the plain PNG file: its filters and compression stay as they are
  } cases[] = {{640, 480, 700, 150, 123456789, 0.003, false, 0x53ab771f17956f39,
                222046},  // the start-up map
               {800, 600, 500, 120, 20240607, 0.05, true, 0x7234b423f127123a, 521725}};
  // Names with letters of several scripts, in UTF-8.
  const testing::TTempFolder folder;
  const std::string townDB = folder.Write(
      "accented.txt",
      "Genève\nMünchen\nTromsø\nEspañola\nÅlesund\nFaçonville\nStraßgefäll\nGdańsk\nÎle-à-Õru\n"
      "Székesfehérvár\nKošice Krůmlov\n");
  for (const auto& c : cases) {
    // Another interpreter asked for by the environment: the labels must not follow. A new thread
    // loads its own faces, under the environment of that moment.
    for (const char* properties : {"", "truetype:interpreter-version=35"}) {
      ::setenv("FREETYPE_PROPERTIES", properties, 1);
      TPicture picture;
      std::thread([&] {
        RandSeed = c.seed;  // a new thread starts in the start-up style
        GenerateMap(picture, c.width, c.height, c.diversity, c.waterLevel, c.density,
                    c.accented ? townDB : "");
      }).join();
      ::unsetenv("FREETYPE_PROPERTIES");
      EXPECT_EQ(PixelChecksum(picture), c.checksum) << c.seed << properties;
      EXPECT_EQ(EncodePng(picture).size(), c.pngSize) << c.seed;
    }
  }
}

}  // namespace
}  // namespace hillograph
