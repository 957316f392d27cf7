#include "synthesis/towns/Towns.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "oracles/TownScanOracle.h"
#include "synthesis/Generator.h"
#include "synthesis/base/Random.h"
#include "synthesis/raster/Bmp.h"
#include "synthesis/relief/Relief.h"
#include "synthesis/terrain/Plasma.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

struct TMapCase {
  std::int32_t width, height;
  std::uint32_t seed;
  std::int32_t waterLevel;
  double density;
  std::string townDB = "";
};

// Renders the map, and scans it as the oracle does from where the plasma left the generator, with
// the names of the town database when it is a regular file.
TEST(TownsTest, ThePassPlacesTownsAsThePlainScanDoes) {
  const testing::TTempFolder dir;
  ASSERT_EQ(::mkfifo(dir.Path("pipe").c_str(), 0600), 0);
  const TMapCase cases[] = {
      {333, 211, 42, 120, 0.01},
      {200, 150, 7, 60, 1.0},
      {1000, 40, 99, 100, 0.5},
      {1, 1, 5, 0, 1.0},
      {50, 50, 11, 0, 0x1p-32},
      {640, 480, 1, 0, 0.0},
      {300, 200, 77, 255, 1.0},
      {7, 900, 13, 0, 0.2},
      {2049, 1537, 31, 150, 0.003},
      {250, 200, 4711, 110, 0.02, dir.Write("towns.txt", "Alpha\r\nBeta\r\nGamma\r\n")},
      {250, 200, 4711, 110, 0.02, dir.Write("odd.txt", std::string("A\0b\r\n\x1B[31m\n\n", 10))},
      {250, 200, 4711, 110, 0.02, dir.Write("empty.txt", "")},
      {250, 200, 4711, 110, 0.02, dir.Path("missing.txt")},
      {250, 200, 4711, 110, 0.02, dir.Path("")},
      {250, 200, 4711, 110, 0.02, "/dev/zero"},
      {250, 200, 4711, 110, 0.02, dir.Path("pipe")},
  };
  for (const auto& c : cases) {
    RandSeed = c.seed;
    const TPlasmaFractal plasma(c.width, c.height, 700);
    const std::uint32_t afterPlasma = RandSeed;
    RandSeed = c.seed;
    TPicture picture;
    TTownList towns;
    GenerateMap(picture, c.width, c.height, 700, c.waterLevel, c.density, c.townDB, &towns);
    const std::uint32_t after = RandSeed;
    RandSeed = afterPlasma;
    TNameGen names;
    if (std::filesystem::is_regular_file(c.townDB)) names.LoadFromFile(c.townDB);
    const TWaterMask mask = BuildWaterMask(plasma.Heights, c.waterLevel);
    EXPECT_EQ(towns, testing::ScanTownsLiterally(mask, c.density, names)) << c.seed << c.townDB;
    EXPECT_EQ(after, RandSeed) << "another number of draws: " << c.seed << c.townDB;
  }
}

// Labels for print: markers, label text, offsets and gaps K times larger, the rest of the map as
// at scale 1. The town pass at scale K written out plainly, one draw per land pixel, over the same
// map drawn without towns; the frame goes on last.
const TMapCase Print = {420, 320, 987654321, 100, 0.05};

TTownList Render(TPicture& picture, const TRenderExtras& extras, double density = Print.density) {
  TTownList towns;
  MapStyle = DefaultMapStyle;
  RandSeed = Print.seed;
  GenerateMap(picture, Print.width, Print.height, 600, Print.waterLevel, density, "", &towns,
              extras);
  return towns;
}

TTownList DrawnLiterally(TPicture& picture, std::int32_t k) {
  Render(picture, {}, 0.0);
  RandSeed = Print.seed;
  const TPlasmaFractal plasma(Print.width, Print.height, 600);
  const TWaterMask mask = BuildWaterMask(plasma.Heights, Print.waterLevel);
  TNameGen names;
  TTownList towns;
  TCanvas canvas(picture);
  canvas.Font.Color = LabelFontColor;
  canvas.Font.Scale = k;
  for (std::int32_t y = 0, nextY; y < Print.height; y = nextY) {
    nextY = y + 1;
    for (std::int32_t x = 0; x < Print.width;) {
      if (mask[x][y] || Random() >= Print.density) {
        ++x;
        continue;
      }
      const std::int32_t kind = Random(4);
      canvas.BrushColor = TownColors[kind];
      canvas.Font.Style = TownStyles[kind];
      canvas.Ellipse(x - 5 * k, y - 5 * k, x + 5 * k, y + 5 * k);
      const std::string name = names.NextName();
      canvas.BrushStyle = TBrushStyle::bsClear;
      canvas.TextOut(x + 5 * k, y + 5 * k, name);
      canvas.BrushStyle = TBrushStyle::bsSolid;
      const std::int32_t width = canvas.TextWidth(name), height = canvas.TextHeight(name);
      towns.push_back({x, y, kind, name, width, height});
      x += width + (5 + Random(5)) * k;
      nextY = y + height + (5 + Random(5)) * k;
    }
  }
  canvas.BrushColor = DefaultMapFrameColor;
  canvas.FrameRect(canvas.ClipRect());
  return towns;
}

TEST(LabelScaleTest, TownsGrowWithTheScaleAndTheRestStays) {
  const struct {
    TRenderExtras extras;
    std::int32_t k;
  } rows[] = {{{}, 1}, {{.LabelScale = 3}, 3}};
  for (const auto& [extras, k] : rows) {
    TPicture scaled, literal;
    const TTownList towns = Render(scaled, extras);
    ASSERT_GE(towns.size(), 20u / k) << k;  // enough to show a fault
    EXPECT_EQ(towns, DrawnLiterally(literal, k)) << k;
    EXPECT_TRUE(EncodeBmp(scaled) == EncodeBmp(literal)) << k;
    // The label text is the face at K times the em: about K times the size of the same name.
    for (const TTown& t : towns) {
      EXPECT_NEAR(t.LabelWidth, k * LabelTextWidth(t.Name, TownStyles[t.Kind]), 0.1 * t.LabelWidth);
      EXPECT_NEAR(t.LabelHeight, k * LabelTextHeight(TownStyles[t.Kind]), 0.1 * t.LabelHeight);
    }
  }
}

}  // namespace
}  // namespace hillograph
