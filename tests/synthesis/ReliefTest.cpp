#include "synthesis/Relief.h"

#include <gtest/gtest.h>

#include <vector>

#include "synthesis/ColorTable.h"

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
  PaintRelief(field, BuildWaterMask(field, waterLevel), waterLevel,
              BuildHeightColors(style, waterLevel), style, lines);
  std::vector<std::vector<TColor>> rows(static_cast<std::size_t>(field.Height()));
  for (std::int32_t y = 0; y < field.Height(); ++y) {
    for (std::int32_t x = 0; x < field.Width(); ++x) {
      const std::uint8_t* p = lines[y] + 3 * x;
      rows[y].push_back(RGB(p[2], p[1], p[0]));
    }
  }
  return rows;
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
