#include "synthesis/relief/ColorTable.h"

#include <gtest/gtest.h>

#include "synthesis/MapStyle.h"

namespace hillograph {
namespace {

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
  for (const auto& c : cases) {
    EXPECT_EQ(BuildHeightColors(DefaultMapStyle, c.waterLevel)[c.height], c.color)
        << "height " << c.height << " at water level " << c.waterLevel;
  }
  EXPECT_EQ(BlendColor(RGB(0, 0, 0), RGB(1, 3, 5), 0.5), RGB(0, 2, 2));
  EXPECT_EQ(BlendColor(RGB(10, 10, 10), RGB(9, 7, 5), 0.5), RGB(10, 8, 8));
}

}  // namespace
}  // namespace hillograph
