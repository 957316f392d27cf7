// Whole maps with many labels, pinned by checksums of their pixels: a change of a built-in face,
// of the way glyphs are rasterised or of how labels are placed shows here.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "synthesis/Generator.h"
#include "synthesis/base/Random.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

// FNV-1a over the pixel rows, padding left out.
std::uint64_t PixelChecksum(const TPicture& picture) {
  std::uint64_t hash = 0xcbf29ce484222325;
  for (std::int32_t y = 0; y < picture.Height(); ++y) {
    const std::uint8_t* row = picture.ScanLine(y);
    for (std::int32_t i = 0; i < 3 * picture.Width(); ++i) {
      hash ^= row[i];
      hash *= 0x100000001b3;
    }
  }
  return hash;
}

// A town database of names with letters of several scripts, in UTF-8.
std::string AccentedNames() {
  const char* const names[] = {
      "Gen\xC3\xA8ve",                        // Genève
      "M\xC3\xBCnchen",                       // München
      "Troms\xC3\xB8",                        // Tromsø
      "Espa\xC3\xB1ola",                      // Española
      "\xC3\x85lesund",                       // Ålesund
      "Fa\xC3\xA7onville",                    // Façonville
      "Stra\xC3\x9Fgef\xC3\xA4ll",            // Straßgefäll
      "Gda\xC5\x84sk",                        // Gdańsk
      "\xC3\x8Ele-\xC3\xA0-\xC3\x95ru",       // Île-à-Õru
      "Sz\xC3\xA9kesfeh\xC3\xA9rv\xC3\xA1r",  // Székesfehérvár
      "Ko\xC5\xA1ice Kr\xC5\xAFmlov",         // Košice Krůmlov
  };
  std::string text;
  for (const char* name : names)
    text += std::string(name) + "\n";
  return text;
}

TEST(GoldenMapsTest, MapsWithManyLabelsKeepTheirPixels) {
  const struct {
    const char* what;
    std::int32_t width, height;
    std::uint32_t seed;
    std::int32_t diversity, waterLevel;
    double density;
    bool accented;
    std::size_t towns;
    std::uint64_t checksum;
  } cases[] = {
      // The map the window shows when it starts.
      {"default", 640, 480, 123456789, 700, 150, 0.003, false, 17, 0x53ab771f17956f39},
      {"accented names", 800, 600, 20240607, 500, 120, 0.05, true, 199, 0x7234b423f127123a},
  };
  const testing::TTempFolder folder;
  const std::string townDB = folder.Write("accented.txt", AccentedNames());
  for (const auto& c : cases) {
    MapStyle = DefaultMapStyle;
    RandSeed = c.seed;
    TPicture picture;
    TTownList towns;
    GenerateMap(picture, c.width, c.height, c.diversity, c.waterLevel, c.density,
                c.accented ? townDB : "", &towns);
    EXPECT_EQ(towns.size(), c.towns) << c.what;
    EXPECT_EQ(PixelChecksum(picture), c.checksum) << c.what;
  }
}

}  // namespace
}  // namespace hillograph
