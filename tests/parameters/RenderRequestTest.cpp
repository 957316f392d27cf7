#include "parameters/RenderRequest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "parameters/MapParameters.h"
#include "synthesis/base/Error.h"
#include "synthesis/base/Random.h"
#include "tests/synthesis/PictureTesting.h"

namespace hillograph {
namespace {

using testing::PixelAt;

TEST(RenderRequestTest, DefaultMapPixelsAndFirstTownMarker) {
  TPicture picture;
  TTownList towns;
  RenderMapParameters(picture, TMapParameters{}, &towns);
  ASSERT_EQ(picture.Width(), 640);
  ASSERT_EQ(picture.Height(), 480);
  ASSERT_FALSE(towns.empty());
  EXPECT_EQ(towns[0].X, 633);
  EXPECT_EQ(towns[0].Y, 51);
  EXPECT_EQ(towns[0].Kind, 1);
  // Pixels before the first town, then its marker's box from (628, 46) to (637, 55): red-brown
  // inside a black ring.
  const struct {
    std::int32_t x, y;
    TColor color;
  } pixels[] = {{1, 1, RGB(110, 143, 254)},   {80, 20, RGB(58, 105, 201)},
                {635, 29, RGB(107, 150, 57)}, {639, 45, RGB(32, 32, 32)},
                {633, 51, RGB(128, 64, 64)},  {631, 47, RGB(128, 64, 64)},
                {628, 50, RGB(0, 0, 0)},      {637, 51, RGB(0, 0, 0)},
                {631, 46, RGB(0, 0, 0)},      {632, 55, RGB(0, 0, 0)}};
  for (const auto& p : pixels)
    EXPECT_EQ(PixelAt(picture, p.x, p.y), p.color) << p.x << ", " << p.y;
}

TEST(RenderRequestTest, AnUnreadableTownDatabaseLeavesPictureAndSeedAsTheyWere) {
  TPicture picture;
  TMapParameters small;
  small.Width = 30;
  small.Height = 20;
  RenderMapParameters(picture, small);
  const TPicture before = picture;
  RandSeed = 31415;
  TMapParameters params;  // another size: the picture would be resized if the render got that far
  params.TownDB = "/proc/self/mem";
  EXPECT_THROW(RenderMapParameters(picture, params), TError);
  EXPECT_EQ(RandSeed, 31415u);
  ASSERT_EQ(picture.Width(), 30);
  ASSERT_EQ(picture.Height(), 20);
  EXPECT_TRUE(std::equal(picture.Bits(), picture.Bits() + picture.Stride() * 20, before.Bits()));
}

TEST(RenderRequestTest, RestoresRandSeedAndRendersTheSameTwice) {
  RandSeed = 4242;
  TPicture first, second;
  TMapParameters params;
  params.Width = 97;
  params.Height = 61;
  RenderMapParameters(first, params);
  EXPECT_EQ(RandSeed, 4242u);
  Random(7);  // draws in between change nothing
  RenderMapParameters(second, params);
  ASSERT_EQ(first.Stride() * 61, second.Stride() * 61);
  EXPECT_TRUE(std::equal(first.Bits(), first.Bits() + first.Stride() * 61, second.Bits()));
}

TEST(RenderRequestTest, RestoresRandSeedWhenTheRenderThrows) {
  RandSeed = 777;
  TPicture picture;
  TMapParameters params;
  params.Width = -1;  // a size no field allows: the height field cannot be allocated
  EXPECT_ANY_THROW(RenderMapParameters(picture, params));
  EXPECT_EQ(RandSeed, 777u);
}

TEST(MapParametersTest, RoundingHalvesToEven) {
  const struct {
    double value;
    std::int32_t rounded;
  } cases[] = {{2.5, 2},
               {3.5, 4},
               {-2.5, -2},
               {10.5, 10},
               {0.49999999999999994, 0},
               {1.5, 2},
               {2147483647, 2147483647},
               {-0.5, 0},
               {30.4, 30},
               {30.6, 31}};
  for (const auto& c : cases)
    EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << c.value;
}

TEST(MapParametersTest, StyleAndDensity) {
  TMapParameters params;
  params.Shadows = 10.5;
  params.GridSize = 20;
  const TMapStyle style = MapStyleOf(params);
  EXPECT_EQ(style.ShadowDivisor, 41);
  EXPECT_EQ(style.GridSize, 20);
  params.Shadows = 0;
  EXPECT_EQ(MapStyleOf(params).ShadowDivisor, 51);
  params.Shadows = 50;
  EXPECT_EQ(MapStyleOf(params).ShadowDivisor, 1);

  for (const auto& [amount, density] :
       {std::pair{0.0, 0.0}, {30.0, 0.003}, {30.5, 0.00305}, {10000.0, 1.0}})
    EXPECT_EQ(TownDensityOf(amount), density) << amount;
}

TEST(MapParametersTest, KeysAreFoundWithoutRegardToCase) {
  ASSERT_NE(FindParameterKey("waterAMOUNT"), nullptr);
  EXPECT_EQ(FindParameterKey("waterAMOUNT")->Name, "WaterAmount");
  EXPECT_EQ(FindParameterKey("Water"), nullptr);
  EXPECT_EQ(FindParameterKey(""), nullptr);
}

}  // namespace
}  // namespace hillograph
