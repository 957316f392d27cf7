#include "synthesis/relief/Relief.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

#include "oracles/ReliefOracle.h"
#include "synthesis/MapStyle.h"
#include "synthesis/random/Random.h"
#include "synthesis/relief/ColorTable.h"
#include "synthesis/relief/Overlays.h"
#include "tests/synthesis/PictureTesting.h"

namespace hillograph {
namespace {

// Bytes of every row, padding included, after a pass (the plain one when literal) over a picture
// filled with a marker.
std::vector<std::uint8_t> Paint(const THeightField& field, std::int32_t waterLevel,
                                const TMapStyle& style, bool literal = false,
                                TWorkerTeam* team = nullptr) {
  TPicture picture;
  picture.SetSize(field.Width(), field.Height());
  TScanLines lines;
  GetScanLines(picture, lines);
  for (std::uint8_t* line : lines)
    std::memset(line, 0xA5, picture.Stride());
  const THeightColors colors = BuildHeightColors(style, waterLevel);
  if (literal)
    testing::PaintReliefLiteral(field, waterLevel, colors, style, lines);
  else
    PaintRelief(field, waterLevel, colors, style, lines, team);
  return {picture.Bits(), picture.Bits() + picture.Stride() * lines.size()};
}

using TColorRow = std::tuple<int, int, TColor>;

TEST(ReliefTest, WorkedColoursShadesAndPixelPass) {
  const TColorRow colours[] = {
      {150, 0, RGB(80, 128, 240)},    {150, 75, RGB(96, 136, 248)},
      {150, 150, RGB(112, 144, 255)}, {150, 151, RGB(125, 193, 85)},
      {150, 200, RGB(185, 204, 46)},  {150, 213, RGB(201, 207, 36)},
      {150, 214, RGB(199, 205, 36)},  {150, 255, RGB(128, 112, 16)},
      {32, 1, RGB(81, 128, 240)},  // green 16 * 1/32 = 0.5 rounds to even
      {0, 0, DefaultSeaMinColor},     {0, 255, DefaultMountainColor},
      {255, 0, DefaultSeaMinColor},   {255, 255, DefaultSeaMaxColor},
  };
  for (const auto& [waterLevel, height, color] : colours)
    EXPECT_EQ(BuildHeightColors(DefaultMapStyle, waterLevel)[height], color) << height;
  EXPECT_EQ(BlendColor(RGB(0, 0, 0), RGB(1, 3, 5), 0.5), RGB(0, 2, 2));
  EXPECT_EQ(BlendColor(RGB(10, 10, 10), RGB(9, 7, 5), 0.5), RGB(10, 8, 8));
  // {drop, divisor, shade of white}; coloured land shaded: in the pixel pass below
  for (const auto& [drop, divisor, shade] : std::initializer_list<TColorRow>{
           {1, 51, RGB(250, 250, 250)}, {1, 1, RGB(0, 0, 0)}, {200, 51, RGB(0, 0, 0)}})
    EXPECT_EQ(Shade(RGB(255, 255, 255), ShadeFactor(drop, divisor)), shade) << drop;
  const int rows[3][4] = {{160, 158, 150, 140}, {157, 156, 120, 100}, {155, 153, 130, 90}};
  THeightField field(4, 3);
  for (std::int32_t i = 0; i < 12; ++i)
    field[i % 4][i / 4] = static_cast<std::uint8_t>(rows[i / 4][i % 4]);
  const std::vector<std::uint8_t> expected = {
      67, 167, 116, 48, 48, 0, 255, 144, 112, 254, 143, 110,  // blue, green, red
      72, 176, 120, 48, 48, 0, 252, 141, 106, 250, 139, 101,
      74, 175, 117, 48, 48, 0, 253, 142, 108, 249, 138, 99};
  EXPECT_EQ(Paint(field, 150, DefaultMapStyle), expected);
}

// Sizes around the tile and the sixteen-row steps, thin and prime ones, and the largest; heights
// from the plasma, or any bytes at all (0 and 255 included, water and coast everywhere), or one
// height everywhere (the picture's edge alone decides coast and drops).
TEST(ReliefTest, EqualsTheLiteralPass) {
  const std::pair<std::int32_t, std::int32_t> sizes[] = {
      {1, 1},   {1, 31},  {31, 1},    {3, 3},   {15, 17},   {16, 16},  {17, 15}, {18, 33},
      {63, 65}, {64, 64}, {127, 129}, {2, 200}, {641, 479}, {1025, 3}, {4097, 2}};
  std::uint32_t seed = 5;
  for (const auto& [width, height] : sizes) {
    for (const int kind : {0, 1, 2}) {
      RandSeed = seed += 127;
      THeightField field =
          kind == 0 ? TPlasmaFractal(width, height, 1000).Heights : THeightField(width, height);
      for (std::int32_t i = 0; kind > 0 && i < width * height; ++i)
        field.Data()[i] = static_cast<std::uint8_t>(kind == 1 ? Random(256) : seed % 256);
      for (const std::int32_t waterLevel : {0, 1, 150, 254, 255}) {
        for (const std::int32_t divisor : {1, 21, 51, 255, 1000}) {
          TMapStyle style = DefaultMapStyle;
          style.ShadowDivisor = divisor;
          ASSERT_TRUE(Paint(field, waterLevel, style) == Paint(field, waterLevel, style, true))
              << width << " x " << height << ", " << kind << ", " << waterLevel << ", " << divisor;
        }
      }
    }
  }
  // Pictures large enough to share, on a team of two and on one of more threads than the machine
  // has: the last row of tiles is whole in one and cut short in the other.
  TWorkerTeam pair(2);
  TWorkerTeam crowd(MaxTeamMembers);
  for (const auto& [width, height] : {std::pair(1025, 513), std::pair(720, 768)}) {
    RandSeed = seed += 127;
    const THeightField field = TPlasmaFractal(width, height, 1000).Heights;
    const std::vector<std::uint8_t> literal = Paint(field, 120, DefaultMapStyle, true);
    for (TWorkerTeam* team : {&pair, &crowd}) {
      ASSERT_TRUE(Paint(field, 120, DefaultMapStyle, false, team) == literal)
          << width << " x " << height << ", " << team->Members() << " threads";
    }
  }
}

// Grid lines at every multiple of the grid size but 0, blended half-way and twice at crossings,
// none past a row's end. (The frame, one pixel all round, is drawn literally in LabelScaleTest.)
TEST(OverlaysTest, Grid) {
  constexpr TColor Green = RGB(125, 193, 85), Once = RGB(79, 137, 122);
  TPicture picture = testing::FilledPicture(160, 161, Green);
  TScanLines lines;
  GetScanLines(picture, lines);
  DrawGrid(lines, 160, 161, RGB(32, 80, 160), 80);
  const TColorRow pixels[] = {
      {80, 5, Once}, {5, 80, Once}, {159, 160, Once}, {80, 80, RGB(56, 109, 141)},
      {0, 0, Green}, {0, 1, Green}, {79, 79, Green},
  };
  for (const auto& [x, y, color] : pixels)
    EXPECT_EQ(testing::PixelAt(picture, x, y), color) << x << ", " << y;
  // Shared out in bands of rows, the same as column after column and then row after row, over a
  // picture of many colours; grid sizes around the band height and past the picture.
  TWorkerTeam pair(2);
  for (const std::int32_t size : {1, 50, 63, 64, 65, 700, INT32_MAX}) {
    TPicture shared = testing::FilledPicture(720, 768, Green);
    TScanLines sharedLines;
    GetScanLines(shared, sharedLines);
    for (std::size_t y = 0; y < sharedLines.size(); ++y) {
      for (std::size_t i = 0; i < shared.Stride(); ++i)
        sharedLines[y][i] = static_cast<std::uint8_t>(y * 7 + i * 13);
    }
    TPicture literal = shared;
    GetScanLines(literal, lines);
    const auto blend = [](std::uint8_t* p) {
      for (const std::uint8_t g : {160, 80, 32}) {  // blue, green, red
        *p = BlendTowardGrid(*p, g);
        ++p;
      }
    };
    for (std::int64_t x = size; x < 720; x += size) {
      for (std::int32_t y = 0; y < 768; ++y)
        blend(lines[y] + 3 * x);
    }
    for (std::int64_t y = size; y < 768; y += size) {
      for (std::int32_t x = 0; x < 720; ++x)
        blend(lines[y] + 3 * x);
    }
    DrawGrid(sharedLines, 720, 768, RGB(32, 80, 160), size, &pair);
    EXPECT_TRUE(std::equal(shared.Bits(), shared.Bits() + shared.Stride() * 768, literal.Bits()))
        << size;
  }
}

}  // namespace
}  // namespace hillograph
