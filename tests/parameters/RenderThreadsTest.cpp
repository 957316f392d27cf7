#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <thread>
#include <vector>

#include "parameters/RenderRequest.h"
#include "synthesis/raster/Bmp.h"

namespace hillograph {
namespace {

// Map i of maps that differ in every setting a render keeps between calls: seed, size,
// style and towns with labels (the glyph caches).
std::string Render(std::size_t i) {
  TMapParameters map;
  map.RandSeed = static_cast<double>(1000 + 37 * i);
  map.Width = static_cast<double>(120 + 13 * (i % 3));
  map.Height = static_cast<double>(90 + 7 * (i % 2));
  map.GridSize = static_cast<double>(20 + 5 * i);
  map.Shadows = static_cast<double>(i % 50);
  map.TownAmount = 400;
  TPicture picture;
  RenderMapParameters(picture, map);
  return EncodeBmp(picture);
}

TEST(RenderThreadsTest, RendersOnThreadsEqualRendersOneAfterAnother) {
  for (const std::size_t threads : {2u, 4u}) {
    std::vector<std::string> alone, together(2 * threads);
    for (std::size_t i = 0; i < together.size(); ++i)
      alone.push_back(Render(i));
    {
      std::vector<std::jthread> running;
      for (std::size_t t = 0; t < threads; ++t) {
        running.emplace_back([&, t] {
          for (std::size_t i = t; i < together.size(); i += threads)
            together[i] = Render(i);
        });
      }
    }
    for (std::size_t i = 0; i < alone.size(); ++i)
      EXPECT_TRUE(together[i] == alone[i]) << threads << " threads, map " << i;
  }
}

// The pixel pass split into bands paints what one thread paints, band edges included.
TEST(RenderThreadsTest, PixelPassBandsPaintWhatOneThreadPaints) {
  TMapParameters params;
  params.Width = 1000;
  params.Height = 997;  // the last band ends inside a tile
  const auto render = [&](std::int32_t threads) {
    TPicture picture;
    RenderMapParameters(picture, params, nullptr, {.Threads = threads});
    return EncodeBmp(picture);
  };
  const std::string one = render(1);
  for (const std::int32_t threads : {2, 3})
    EXPECT_TRUE(render(threads) == one) << threads << " threads";
}

}  // namespace
}  // namespace hillograph
