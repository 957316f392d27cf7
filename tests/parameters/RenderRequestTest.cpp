#include "parameters/RenderRequest.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "parameters/MapParameters.h"
#include "synthesis/base/Error.h"
#include "synthesis/base/Random.h"
#include "tests/synthesis/PictureTesting.h"

namespace hillograph {
namespace {

// The map the program shows at start-up, up to its first town's marker: the box from (628, 46)
// to (637, 55), red-brown inside a black ring.
TEST(RenderRequestTest, TheDefaultMap) {
  TPicture picture;
  TTownList towns;
  RandSeed = 4242;
  RenderMapParameters(picture, TMapParameters{}, &towns);
  EXPECT_EQ(RandSeed, 4242u);  // put back
  ASSERT_EQ(picture.Width(), 640);
  ASSERT_EQ(picture.Height(), 480);
  ASSERT_FALSE(towns.empty());
  EXPECT_EQ(towns[0], (TTown{633, 51, 1, towns[0].Name, towns[0].LabelWidth, 17}));
  const struct {
    std::int32_t x, y;
    TColor color;
  } pixels[] = {
      {1, 1, RGB(110, 143, 254)},  {80, 20, RGB(58, 105, 201)}, {635, 29, RGB(107, 150, 57)},
      {639, 45, RGB(32, 32, 32)},  {0, 479, RGB(32, 32, 32)},   {0, 240, RGB(32, 32, 32)},
      {633, 51, RGB(128, 64, 64)}, {631, 47, RGB(128, 64, 64)}, {628, 50, RGB(0, 0, 0)},
      {637, 51, RGB(0, 0, 0)},     {631, 46, RGB(0, 0, 0)}};
  for (const auto& p : pixels)
    EXPECT_EQ(testing::PixelAt(picture, p.x, p.y), p.color) << p.x << ", " << p.y;
}

TEST(RenderRequestTest, AFailedRenderLeavesPictureAndSeedAsTheyWere) {
  TPicture picture = testing::FilledPicture(30, 20, RGB(1, 2, 3));
  const TPicture before = picture;
  RandSeed = 31415;
  TMapParameters params;  // another size: the picture would be resized if the render got that far
  params.TownDB = "/proc/self/mem";  // a regular file that cannot be read, also by root
  EXPECT_THROW(RenderMapParameters(picture, params), TError);
  EXPECT_EQ(RandSeed, 31415u);
  ASSERT_EQ(picture.Width(), 30);
  EXPECT_TRUE(std::equal(picture.Bits(), picture.Bits() + picture.Stride() * 20, before.Bits()));
  params.TownDB = "";
  params.Width = -1;  // a size no field allows
  EXPECT_ANY_THROW(RenderMapParameters(picture, params));
  EXPECT_EQ(RandSeed, 31415u);
}

TEST(MapParametersTest, Conversions) {
  const struct {
    double value;
    std::int32_t rounded;
  } cases[] = {{2.5, 2},
               {3.5, 4},
               {-2.5, -2},
               {0.49999999999999994, 0},
               {-0.5, 0},
               {30.6, 31},
               {2147483647, 2147483647}};
  for (const auto& c : cases)
    EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << c.value;
  for (const auto& [shadows, divisor] : {std::pair{10.5, 41}, {0.0, 51}, {50.0, 1}}) {
    TMapParameters params;
    params.Shadows = shadows;
    EXPECT_EQ(MapStyleOf(params).ShadowDivisor, divisor) << shadows;
  }
  for (const auto& [amount, density] : {std::pair{30.0, 0.003}, {30.5, 0.00305}, {10000.0, 1.0}})
    EXPECT_EQ(TownDensityOf(amount), density) << amount;
  ASSERT_NE(FindParameterKey("waterAMOUNT"), nullptr);
  EXPECT_EQ(FindParameterKey("waterAMOUNT")->Name, "WaterAmount");
  EXPECT_EQ(FindParameterKey("Water"), nullptr);
}

}  // namespace
}  // namespace hillograph
