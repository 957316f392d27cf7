#include "synthesis/relief/Overlays.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/synthesis/PictureTesting.h"

namespace hillograph {
namespace {

using testing::FilledPicture;
using testing::PixelAt;

TEST(OverlaysTest, GridBlendsHalfWayAndTwiceAtCrossings) {
  TPicture picture = FilledPicture(200, 200, RGB(125, 193, 85));
  TScanLines lines;
  GetScanLines(picture, lines);
  DrawGrid(lines, 200, 200, RGB(32, 80, 160), 80);
  EXPECT_EQ(PixelAt(picture, 80, 5), RGB(79, 137, 122));
  EXPECT_EQ(PixelAt(picture, 5, 160), RGB(79, 137, 122));
  EXPECT_EQ(PixelAt(picture, 80, 80), RGB(56, 109, 141));
  EXPECT_EQ(PixelAt(picture, 0, 0), RGB(125, 193, 85));  // no line at column or row 0
}

TEST(OverlaysTest, GridLinePositions) {
  const struct {
    std::int32_t width, height, gridSize;
    std::set<int> columns, rows;
  } cases[] = {
      {640, 480, 80, {80, 160, 240, 320, 400, 480, 560}, {80, 160, 240, 320, 400}},
      {641, 481, 80, {80, 160, 240, 320, 400, 480, 560, 640}, {80, 160, 240, 320, 400, 480}},
      {80, 81, 80, {}, {80}},
  };
  for (const auto& c : cases) {
    TPicture picture = FilledPicture(c.width, c.height, 0);
    TScanLines lines;
    GetScanLines(picture, lines);
    DrawGrid(lines, c.width, c.height, RGB(200, 200, 200), c.gridSize);
    std::set<int> columns, rows;
    for (std::int32_t x = 0; x < c.width; ++x) {
      if (PixelAt(picture, x, 0) != 0) columns.insert(x);
    }
    for (std::int32_t y = 0; y < c.height; ++y) {
      if (PixelAt(picture, 0, y) != 0) rows.insert(y);
    }
    EXPECT_EQ(columns, c.columns) << c.width << " x " << c.height;
    EXPECT_EQ(rows, c.rows) << c.width << " x " << c.height;
  }
}

}  // namespace
}  // namespace hillograph
