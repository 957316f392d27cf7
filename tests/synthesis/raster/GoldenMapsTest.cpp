// Whole maps with many labels, pinned by checksums of their pixels: a change of a built-in face,
// of the way glyphs are rasterised or of how labels are placed shows here.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>

#include "synthesis/Generator.h"
#include "synthesis/base/Random.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

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
    const char* what;
    std::int32_t width, height, diversity, waterLevel;
    std::uint32_t seed;
    double density;
    bool accented;
    const char* freetypeProperties;  // asked for by the environment: the labels must not follow
    std::size_t towns;
    std::uint64_t checksum;
  } cases[] = {
      // The map the window shows when it starts.
      {"default", 640, 480, 700, 150, 123456789, 0.003, false, nullptr, 17, 0x53ab771f17956f39},
      {"accented names", 800, 600, 500, 120, 20240607, 0.05, true, nullptr, 199,
       0x7234b423f127123a},
      {"another interpreter asked for", 800, 600, 500, 120, 20240607, 0.05, true,
       "truetype:interpreter-version=35", 199, 0x7234b423f127123a},
  };
  // Names with letters of several scripts, in UTF-8.
  const testing::TTempFolder folder;
  const std::string townDB = folder.Write(
      "accented.txt",
      "Genève\nMünchen\nTromsø\nEspañola\nÅlesund\nFaçonville\nStraßgefäll\nGdańsk\nÎle-à-Õru\n"
      "Székesfehérvár\nKošice Krůmlov\n");
  for (const auto& c : cases) {
    TPicture picture;
    TTownList towns;
    const auto render = [&] {  // a new thread loads its own faces, under the environment then
      MapStyle = DefaultMapStyle;
      RandSeed = c.seed;
      GenerateMap(picture, c.width, c.height, c.diversity, c.waterLevel, c.density,
                  c.accented ? townDB : "", &towns);
    };
    if (c.freetypeProperties != nullptr) ::setenv("FREETYPE_PROPERTIES", c.freetypeProperties, 1);
    std::thread(render).join();
    ::unsetenv("FREETYPE_PROPERTIES");
    EXPECT_EQ(towns.size(), c.towns) << c.what;
    EXPECT_EQ(PixelChecksum(picture), c.checksum) << c.what;
  }
}

}  // namespace
}  // namespace hillograph
