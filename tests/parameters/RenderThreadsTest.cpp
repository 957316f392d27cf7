#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <thread>
#include <vector>

#include "parameters/MapParameters.h"
#include "parameters/RenderRequest.h"
#include "synthesis/raster/Picture.h"

namespace hillograph {
namespace {

// Maps that differ in every setting a render keeps between calls: seed, size (the plasma plan),
// style and towns with labels (the glyph caches).
std::vector<TMapParameters> Maps(std::size_t Count) {
  std::vector<TMapParameters> maps(Count);
  for (std::size_t i = 0; i < Count; ++i) {
    maps[i].RandSeed = static_cast<double>(1000 + 37 * i);
    maps[i].Width = static_cast<double>(120 + 13 * (i % 3));
    maps[i].Height = static_cast<double>(90 + 7 * (i % 2));
    maps[i].GridSize = static_cast<double>(20 + 5 * i);
    maps[i].Shadows = static_cast<double>(i % 50);
    maps[i].TownAmount = 400;
  }
  return maps;
}

bool SamePixels(const TPicture& a, const TPicture& b) {
  return a.Width() == b.Width() && a.Height() == b.Height() &&
         std::equal(a.Bits(), a.Bits() + a.Stride() * a.Height(), b.Bits());
}

struct TThreadsRow {
  std::size_t Threads;
  std::size_t Maps;
};

class RenderThreadsTest : public testing::TestWithParam<TThreadsRow> {};

TEST_P(RenderThreadsTest, RendersOnThreadsEqualRendersOneAfterAnother) {
  const TThreadsRow row = GetParam();
  const std::vector<TMapParameters> maps = Maps(row.Maps);
  std::vector<TPicture> alone(maps.size());
  for (std::size_t i = 0; i < maps.size(); ++i)
    RenderMapParameters(alone[i], maps[i]);

  std::vector<TPicture> together(maps.size());
  {
    std::vector<std::jthread> threads;
    for (std::size_t t = 0; t < row.Threads; ++t) {
      threads.emplace_back([&, t] {
        for (std::size_t i = t; i < maps.size(); i += row.Threads)
          RenderMapParameters(together[i], maps[i]);
      });
    }
  }
  for (std::size_t i = 0; i < maps.size(); ++i)
    EXPECT_TRUE(SamePixels(together[i], alone[i])) << "map " << i;
}

INSTANTIATE_TEST_SUITE_P(Threads, RenderThreadsTest,
                         testing::Values(TThreadsRow{2, 6}, TThreadsRow{4, 8}));

}  // namespace
}  // namespace hillograph
