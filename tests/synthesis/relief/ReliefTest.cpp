#include "synthesis/relief/Relief.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "oracles/ReliefOracle.h"
#include "synthesis/MapStyle.h"
#include "synthesis/base/Random.h"
#include "synthesis/relief/ColorTable.h"
#include "synthesis/relief/Overlays.h"
#include "tests/synthesis/PictureTesting.h"

namespace hillograph {
namespace {

// Bytes of every row, padding included, after a pass over a picture filled with a marker.
template <class TPass>
std::vector<std::uint8_t> Painted(const THeightField& field, TPass pass) {
  TPicture picture;
  picture.SetSize(field.Width(), field.Height());
  TScanLines lines;
  GetScanLines(picture, lines);
  for (std::uint8_t* line : lines)
    std::memset(line, 0xA5, picture.Stride());
  pass(lines);
  return std::vector<std::uint8_t>(picture.Bits(),
                                   picture.Bits() + picture.Stride() * lines.size());
}

std::vector<std::uint8_t> Paint(const THeightField& field, std::int32_t waterLevel,
                                const TMapStyle& style) {
  return Painted(field, [&](const TScanLines& lines) {
    PaintRelief(field, waterLevel, BuildHeightColors(style, waterLevel), style, lines);
  });
}

TEST(ColorTableTest, DefaultColours) {
  const struct {
    int waterLevel, height;
    TColor color;
  } cases[] = {
      {150, 0, RGB(80, 128, 240)},    {150, 75, RGB(96, 136, 248)},
      {150, 150, RGB(112, 144, 255)}, {150, 151, RGB(125, 193, 85)},
      {150, 200, RGB(185, 204, 46)},  {150, 213, RGB(201, 207, 36)},
      {150, 214, RGB(199, 205, 36)},  {150, 255, RGB(128, 112, 16)},
      {32, 1, RGB(81, 128, 240)},  // green 16 * 1/32 = 0.5 rounds to even
      {0, 0, DefaultSeaMinColor},     {0, 255, DefaultMountainColor},
      {255, 0, DefaultSeaMinColor},   {255, 255, DefaultSeaMaxColor},
  };
  for (const auto& c : cases)
    EXPECT_EQ(BuildHeightColors(DefaultMapStyle, c.waterLevel)[c.height], c.color) << c.height;
  EXPECT_EQ(BlendColor(RGB(0, 0, 0), RGB(1, 3, 5), 0.5), RGB(0, 2, 2));
  EXPECT_EQ(BlendColor(RGB(10, 10, 10), RGB(9, 7, 5), 0.5), RGB(10, 8, 8));
}

TEST(ReliefTest, WorkedPixelPass) {
  const int rows[3][4] = {{160, 158, 150, 140}, {157, 156, 120, 100}, {155, 153, 130, 90}};
  THeightField field(4, 3);
  for (std::int32_t y = 0; y < 3; ++y) {
    for (std::int32_t x = 0; x < 4; ++x)
      field[x][y] = static_cast<std::uint8_t>(rows[y][x]);
  }
  const std::vector<std::uint8_t> expected = {
      67, 167, 116, 48, 48, 0, 255, 144, 112, 254, 143, 110,  // blue, green, red
      72, 176, 120, 48, 48, 0, 252, 141, 106, 250, 139, 101,
      74, 175, 117, 48, 48, 0, 253, 142, 108, 249, 138, 99};
  EXPECT_EQ(Paint(field, 150, DefaultMapStyle), expected);
}

TEST(ReliefTest, WorkedShades) {
  const struct {
    TColor color;
    std::int32_t drop, divisor;
    TColor expected;
  } cases[] = {{RGB(125, 193, 85), 10, 21, RGB(65, 101, 44)},
               {RGB(255, 255, 255), 1, 51, RGB(250, 250, 250)},  // factor 251
               {RGB(255, 255, 255), 1, 1, RGB(0, 0, 0)},
               {RGB(255, 255, 255), 200, 51, RGB(0, 0, 0)}};
  for (const auto& c : cases)
    EXPECT_EQ(Shade(c.color, ShadeFactor(c.drop, c.divisor)), c.expected) << c.drop;
}

// Heights from the plasma, or any bytes at all (0 and 255 included, water and coast everywhere),
// or one height everywhere (the picture's edge alone decides coast and drops).
THeightField Field(std::int32_t width, std::int32_t height, std::uint32_t seed, int kind) {
  RandSeed = seed;
  if (kind == 0) return TPlasmaFractal(width, height, 1000).Heights;
  THeightField field(width, height);
  for (std::int32_t i = 0; i < width * height; ++i)
    field.Data()[i] = static_cast<std::uint8_t>(kind == 1 ? Random(256) : seed % 256);
  return field;
}

// Sizes around the tile and the sixteen-row steps, thin and prime ones, and the largest.
TEST(ReliefTest, EqualsTheLiteralPass) {
  const struct {
    std::int32_t width, height;
  } sizes[] = {{1, 1},   {1, 31},  {31, 1},    {3, 3},   {15, 17},   {16, 16},  {17, 15}, {18, 33},
               {63, 65}, {64, 64}, {127, 129}, {2, 200}, {641, 479}, {1025, 3}, {4097, 2}};
  std::uint32_t seed = 5;
  for (const auto& [width, height] : sizes) {
    for (const int kind : {0, 1, 2}) {
      const THeightField field = Field(width, height, seed += 127, kind);
      for (const std::int32_t waterLevel : {0, 1, 150, 254, 255}) {
        for (const std::int32_t divisor : {1, 21, 51, 255, 1000}) {
          TMapStyle style = DefaultMapStyle;
          style.ShadowDivisor = divisor;
          const THeightColors colors = BuildHeightColors(style, waterLevel);
          const auto literal = Painted(field, [&](const TScanLines& lines) {
            testing::PaintReliefLiteral(field, BuildWaterMask(field, waterLevel), waterLevel,
                                        colors, style, lines);
          });
          ASSERT_TRUE(Paint(field, waterLevel, style) == literal)
              << width << " x " << height << ", kind " << kind << ", " << waterLevel << ", "
              << divisor;
        }
      }
    }
  }
}

// Grid lines at every multiple of the grid size but 0, blended half-way and twice at crossings,
// none past a row's end; the frame, one pixel all round.
TEST(OverlaysTest, GridAndFrame) {
  constexpr TColor Green = RGB(125, 193, 85), Once = RGB(79, 137, 122), Frame = RGB(1, 2, 3);
  TPicture picture = testing::FilledPicture(160, 161, Green);
  TScanLines lines;
  GetScanLines(picture, lines);
  DrawGrid(lines, 160, 161, RGB(32, 80, 160), 80);
  const struct {
    std::int32_t x, y;
    TColor color;
  } cases[] = {{80, 5, Once},  {5, 80, Once},  {159, 160, Once},  {80, 80, RGB(56, 109, 141)},
               {0, 0, Green},  {0, 1, Green},  {79, 79, Green}};
  for (const auto& c : cases)
    EXPECT_EQ(testing::PixelAt(picture, c.x, c.y), c.color) << c.x << ", " << c.y;
  picture = testing::FilledPicture(4, 3, Green);
  TCanvas canvas(picture);
  DrawFrame(canvas, Frame);
  for (std::int32_t y = 0; y < 3; ++y) {
    for (std::int32_t x = 0; x < 4; ++x)
      EXPECT_EQ(testing::PixelAt(picture, x, y), x % 3 && y % 2 ? Green : Frame) << x << y;
  }
}

}  // namespace
}  // namespace hillograph
