// Maps drawn with labels for print: markers, label text, offsets and gaps K times larger, the rest
// of the map as at scale 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "synthesis/Generator.h"
#include "synthesis/base/Error.h"
#include "synthesis/base/Random.h"
#include "synthesis/relief/Relief.h"
#include "synthesis/terrain/Plasma.h"

namespace hillograph {
namespace {

constexpr std::int32_t Width = 420, Height = 320, Diversity = 600, WaterLevel = 100;
constexpr std::uint32_t Seed = 987654321;
constexpr double Density = 0.05;

struct TRender {
  TPicture picture;
  TTownList towns;
};

TRender Render(const TRenderExtras& extras, double density = Density) {
  TRender r;
  MapStyle = DefaultMapStyle;
  RandSeed = Seed;
  GenerateMap(r.picture, Width, Height, Diversity, WaterLevel, density, "", &r.towns, extras);
  return r;
}

// The town pass at scale k written out plainly, one draw per land pixel, over the same map drawn
// without towns; the frame goes on last.
TRender DrawnLiterally(std::int32_t k) {
  TRender r = Render({}, 0.0);
  RandSeed = Seed;
  const TPlasmaFractal plasma(Width, Height, Diversity);
  const TWaterMask mask = BuildWaterMask(plasma.Heights, WaterLevel);
  TNameGen names;
  TCanvas canvas(r.picture);
  canvas.Font.Color = LabelFontColor;
  canvas.Font.Scale = k;
  for (std::int32_t y = 0, nextY; y < Height; y = nextY) {
    nextY = y + 1;
    for (std::int32_t x = 0; x < Width;) {
      if (mask[x][y] || Random() >= Density) {
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
      r.towns.push_back({x, y, kind, name, width, height});
      x += width + (5 + Random(5)) * k;
      nextY = y + height + (5 + Random(5)) * k;
    }
  }
  canvas.BrushColor = DefaultMapFrameColor;
  canvas.FrameRect(canvas.ClipRect());
  return r;
}

bool SamePixels(const TPicture& a, const TPicture& b) {
  return a.Width() == b.Width() && a.Height() == b.Height() &&
         std::equal(a.Bits(), a.Bits() + a.Stride() * a.Height(), b.Bits());
}

TEST(LabelScaleTest, TownsGrowWithTheScaleAndTheRestStays) {
  const TRender plain = Render({});
  ASSERT_GT(plain.towns.size(), 20u);
  for (const std::int32_t k : {1, 2, 4}) {
    const TRender scaled = Render({.LabelScale = k});
    const TRender literal = DrawnLiterally(k);
    ASSERT_FALSE(scaled.towns.empty()) << k;
    EXPECT_EQ(scaled.towns, literal.towns) << k;
    EXPECT_TRUE(SamePixels(scaled.picture, literal.picture)) << k;
    if (k == 1) {
      EXPECT_EQ(scaled.towns, plain.towns);
      EXPECT_TRUE(SamePixels(scaled.picture, plain.picture));
    }
    // The label text is the face at K times the em: about K times the size of the same name.
    for (const TTown& t : scaled.towns) {
      const TFontStyles style = TownStyles[t.Kind];
      EXPECT_NEAR(t.LabelWidth, k * LabelTextWidth(t.Name, style), 0.1 * t.LabelWidth) << k;
      EXPECT_NEAR(t.LabelHeight, k * LabelTextHeight(style), 0.1 * t.LabelHeight) << k;
    }
  }
}

TEST(LabelScaleTest, ScalesOutsideTheRangeFailBeforeDrawing) {
  for (const std::int32_t k : {0, -3, MaxLabelScale + 1}) {
    TPicture picture;
    EXPECT_THROW(GenerateMap(picture, 30, 20, 600, 120, 0.01, "", nullptr, {.LabelScale = k}),
                 TError)
        << k;
    EXPECT_EQ(picture.Width(), 0) << k;
  }
}

}  // namespace
}  // namespace hillograph
