#include "synthesis/relief/Relief.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "oracles/ReliefOracle.h"
#include "synthesis/base/Random.h"
#include "synthesis/relief/ColorTable.h"

namespace hillograph {
namespace {

// A height field from rows given top to bottom.
THeightField FieldFromRows(const std::vector<std::vector<int>>& rows) {
  const auto height = static_cast<std::int32_t>(rows.size());
  const auto width = static_cast<std::int32_t>(rows[0].size());
  THeightField field(width, height);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x)
      field[x][y] = static_cast<std::uint8_t>(rows[y][x]);
  }
  return field;
}

// Paints a field and returns the pixels row by row as colours.
std::vector<std::vector<TColor>> Paint(const THeightField& field, std::int32_t waterLevel,
                                       const TMapStyle& style) {
  TPicture picture;
  picture.SetSize(field.Width(), field.Height());
  TScanLines lines;
  GetScanLines(picture, lines);
  PaintRelief(field, waterLevel, BuildHeightColors(style, waterLevel), style, lines);
  std::vector<std::vector<TColor>> rows(static_cast<std::size_t>(field.Height()));
  for (std::int32_t y = 0; y < field.Height(); ++y) {
    for (std::int32_t x = 0; x < field.Width(); ++x) {
      const std::uint8_t* p = lines[y] + 3 * x;
      rows[y].push_back(RGB(p[2], p[1], p[0]));
    }
  }
  return rows;
}

// Bytes of every row, padding included, after a pass over a picture filled with a marker.
template <class TPass>
std::vector<std::uint8_t> Painted(const THeightField& field, TPass pass) {
  constexpr std::uint8_t Marker = 0xA5;
  TPicture picture;
  picture.SetSize(field.Width(), field.Height());
  TScanLines lines;
  GetScanLines(picture, lines);
  for (std::uint8_t* line : lines)
    std::memset(line, Marker, picture.Stride());
  pass(lines);
  const std::uint8_t* bits = picture.Bits();
  return std::vector<std::uint8_t>(bits, bits + picture.Stride() * lines.size());
}

void ExpectSameAsLiteral(const THeightField& field, std::int32_t waterLevel,
                         std::int32_t shadowDivisor, const char* what) {
  TMapStyle style = DefaultMapStyle;
  style.ShadowDivisor = shadowDivisor;
  const THeightColors colors = BuildHeightColors(style, waterLevel);
  const auto literal = Painted(field, [&](const TScanLines& lines) {
    testing::PaintReliefLiteral(field, BuildWaterMask(field, waterLevel), waterLevel, colors, style,
                                lines);
  });
  const auto fast = Painted(field, [&](const TScanLines& lines) {
    PaintRelief(field, waterLevel, colors, style, lines);
  });
  ASSERT_TRUE(fast == literal) << what << " " << field.Width() << " x " << field.Height()
                               << ", water level " << waterLevel << ", divisor " << shadowDivisor;
}

// Heights from the plasma, or any bytes at all (0 and 255 included, water and coast
// everywhere).
THeightField Field(std::int32_t width, std::int32_t height, std::uint32_t seed, bool noise) {
  RandSeed = seed;
  if (!noise) return TPlasmaFractal(width, height, 1000).Heights;
  THeightField field(width, height);
  for (std::int32_t x = 0; x < width; ++x) {
    for (std::int32_t y = 0; y < height; ++y)
      field[x][y] = static_cast<std::uint8_t>(Random(256));
  }
  return field;
}

// Sizes around the tile and the sixteen-row steps, thin and prime ones, and the largest.
TEST(ReliefTest, EqualsTheLiteralPassOverSizesLevelsAndDivisors) {
  const std::pair<std::int32_t, std::int32_t> sizes[] = {
      {1, 1},     {1, 2},   {2, 1},   {1, 31},  {31, 1},  {3, 3},    {15, 17},
      {16, 16},   {17, 15}, {18, 33}, {63, 65}, {64, 64}, {65, 63},  {97, 89},
      {127, 129}, {128, 1}, {1, 128}, {2, 200}, {200, 2}, {641, 479}};
  const std::int32_t waterLevels[] = {0, 1, 150, 254, 255};
  const std::int32_t divisors[] = {1, 21, 51};
  std::uint32_t seed = 5;
  for (const auto& [width, height] : sizes) {
    for (const bool noise : {false, true}) {
      const THeightField field = Field(width, height, seed++, noise);
      for (const std::int32_t waterLevel : waterLevels) {
        for (const std::int32_t divisor : divisors)
          ExpectSameAsLiteral(field, waterLevel, divisor, noise ? "noise" : "plasma");
      }
    }
  }
  // Flat fields: the picture's edge alone decides coast and drops there.
  for (const std::int32_t level : {0, 1, 150, 254, 255}) {
    THeightField flat(33, 20);
    std::memset(flat.Data(), level, 33 * 20);
    for (const std::int32_t waterLevel : waterLevels)
      ExpectSameAsLiteral(flat, waterLevel, 21, "flat");
  }
  // Divisors beyond the deepest drop give every drop a shade of its own.
  for (const std::int32_t divisor : {254, 255, 1000})
    ExpectSameAsLiteral(Field(70, 40, seed++, true), 100, divisor, "noise");
  const THeightField largest = Field(1000, 1000, seed++, false);
  ExpectSameAsLiteral(largest, 150, 21, "plasma");
  ExpectSameAsLiteral(largest, 1, 1, "plasma");
  ExpectSameAsLiteral(Field(1000, 1000, seed++, true), 254, 51, "noise");
}

TEST(ReliefTest, WorkedPixelPass) {
  const THeightField field =
      FieldFromRows({{160, 158, 150, 140}, {157, 156, 120, 100}, {155, 153, 130, 90}});
  const std::vector<std::vector<TColor>> expected = {
      {RGB(116, 167, 67), RGB(0, 48, 48), RGB(112, 144, 255), RGB(110, 143, 254)},
      {RGB(120, 176, 72), RGB(0, 48, 48), RGB(106, 141, 252), RGB(101, 139, 250)},
      {RGB(117, 175, 74), RGB(0, 48, 48), RGB(108, 142, 253), RGB(99, 138, 249)}};
  EXPECT_EQ(Paint(field, 150, DefaultMapStyle), expected);
}

TEST(ReliefTest, Shading) {
  const struct {
    TColor color;
    std::int32_t drop, divisor;
    TColor expected;
  } cases[] = {
      {RGB(125, 193, 85), 10, 21, RGB(65, 101, 44)},
      {RGB(125, 193, 85), 0, 21, RGB(125, 193, 85)},
      {RGB(255, 255, 255), 1, 51, RGB(250, 250, 250)},  // F = 251
      {RGB(255, 255, 255), 1, 1, RGB(0, 0, 0)},
      {RGB(255, 255, 255), 200, 51, RGB(0, 0, 0)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShadeColor(c.color, c.drop, c.divisor), c.expected)
        << "drop " << c.drop << ", divisor " << c.divisor;
  }
}

TEST(ReliefTest, EdgesCountAsLandAndDropsOfZero) {
  TMapStyle style = DefaultMapStyle;
  style.ShadowDivisor = 1;
  // A single column: only drops toward the pixel below shade.
  const auto column = Paint(FieldFromRows({{200}, {199}, {199}}), 0, style);
  EXPECT_EQ(column[0][0], RGB(0, 0, 0));
  EXPECT_NE(column[1][0], RGB(0, 0, 0));
  EXPECT_NE(column[2][0], RGB(0, 0, 0));
  // A single row: only drops toward the right.
  const auto row = Paint(FieldFromRows({{200, 199, 199}}), 0, style);
  EXPECT_EQ(row[0][0], RGB(0, 0, 0));
  EXPECT_NE(row[0][1], RGB(0, 0, 0));
}

TEST(ReliefTest, DiagonalWaterMakesNoCoast) {
  TMapStyle style = DefaultMapStyle;
  style.LandBorderColor = RGB(1, 2, 3);
  const auto pixels =
      Paint(FieldFromRows({{200, 200, 200}, {200, 200, 200}, {200, 200, 10}}), 150, style);
  EXPECT_NE(pixels[1][1], style.LandBorderColor);  // water only at the diagonal
  EXPECT_EQ(pixels[1][2], style.LandBorderColor);
  EXPECT_EQ(pixels[2][1], style.LandBorderColor);
}

TEST(ReliefTest, CoastIsNeverShaded) {
  TMapStyle style = DefaultMapStyle;
  style.ShadowDivisor = 1;
  const auto pixels = Paint(FieldFromRows({{250, 10}}), 150, style);
  EXPECT_EQ(pixels[0][0], style.LandBorderColor);
}

}  // namespace
}  // namespace hillograph
