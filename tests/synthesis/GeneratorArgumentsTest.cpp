#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "synthesis/Generator.h"
#include "synthesis/base/Error.h"
#include "synthesis/random/Random.h"
#include "synthesis/raster/Bmp.h"
#include "synthesis/relief/Relief.h"
#include "synthesis/terrain/Plasma.h"
#include "synthesis/towns/NameGen.h"

namespace hillograph {
namespace {

// A rejected map names the argument and its range, and leaves the picture and the generator as
// they were.
TEST(GeneratorArgumentsTest, RejectsWhatItCannotDrawBeforeDrawing) {
  const struct {
    const char* message;
    std::int32_t width, height, diversity, waterLevel;
    double density;
    std::int32_t gridSize = 80, shadowDivisor = 21, labelScale = 1;
    bool heightsDone = false;  // asked for without a field to hold the heights
  } rows[] = {
      {"Width must be 1 .. 16384, not 0", 0, 10, 100, 100, 0},
      {"Height must be 1 .. 16384, not 16385", 10, MaxMapSide + 1, 100, 100, 0},
      {"Diversity must be 0 .. 32768, not -1", 10, 10, -1, 100, 0},
      {"WaterLevel must be 0 .. 255, not 256", 10, 10, 100, 256, 0},
      {"TownDensity must be 0 .. 1, not nan", 10, 10, 100, 100, std::nan("")},
      {"TownDensity must be 0 .. 1, not -0.5", 10, 10, 100, 100, -0.5},
      {"TownDensity must be 0 .. 1, not 1.5", 10, 10, 100, 100, 1.5},
      {"GridSize must be 1 .. 2147483647, not 0", 10, 10, 100, 100, 0, 0},
      {"ShadowDivisor must be 1 .. 2147483647, not 0", 10, 10, 100, 100, 0, 80, 0},
      {"LabelScale must be 1 .. 16, not 17", 10, 10, 100, 100, 0, 80, 21, MaxLabelScale + 1},
      {"HeightsDone needs a height field to be given", 10, 10, 100, 100, 0, 80, 21, 1, true},
  };
  for (const auto& row : rows) {
    TPicture picture;
    GenerateMap(picture, 7, 5, 100, 100, 0, "");
    const std::string before = EncodeBmp(picture);
    const std::uint32_t seed = RandSeed;
    MapStyle.GridSize = row.gridSize;
    MapStyle.ShadowDivisor = row.shadowDivisor;
    try {
      GenerateMap(picture, row.width, row.height, row.diversity, row.waterLevel, row.density, "",
                  nullptr,
                  {.LabelScale = row.labelScale,
                   .HeightsDone = row.heightsDone ? [] {} : std::function<void()>()});
      ADD_FAILURE() << "accepted: " << row.message;
    } catch (const TError& error) {
      EXPECT_EQ(std::string(error.what()), row.message);
    }
    MapStyle = DefaultMapStyle;
    EXPECT_EQ(RandSeed, seed) << row.message;
    EXPECT_TRUE(EncodeBmp(picture) == before) << row.message;
  }
}

// Labels for print: markers, label text, offsets and gaps K times larger, the rest of the map as
// at scale 1. The town pass at scale K written out plainly, one draw per land pixel, over the same
// map drawn without towns; the frame goes on last.
constexpr std::int32_t Width = 420, Height = 320, WaterLevel = 100;
constexpr std::uint32_t Seed = 987654321;
constexpr double Density = 0.05;

TTownList DrawnLiterally(TPicture& picture, std::int32_t k) {
  RandSeed = Seed;
  GenerateMap(picture, Width, Height, 600, WaterLevel, 0.0, "");
  RandSeed = Seed;
  const TPlasmaFractal plasma(Width, Height, 600);
  TNameGen names;
  TTownList towns;
  TCanvas canvas(picture);
  canvas.Font.Color = LabelFontColor;
  canvas.Font.Scale = k;
  for (std::int32_t y = 0, nextY; y < Height; y = nextY) {
    nextY = y + 1;
    for (std::int32_t x = 0; x < Width;) {
      if (plasma.Heights[x][y] <= WaterLevel || Random() >= Density) {
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
  for (const std::int32_t k : {1, 3}) {  // 1 is the map without extras
    TPicture scaled, literal;
    TTownList towns;
    RandSeed = Seed;
    GenerateMap(scaled, Width, Height, 600, WaterLevel, Density, "", &towns, {.LabelScale = k});
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
