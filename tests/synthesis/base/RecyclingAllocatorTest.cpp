#include "synthesis/base/RecyclingAllocator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "synthesis/base/Grid.h"

namespace hillograph {
namespace {

// A size no grid of the other tests has.
constexpr std::size_t Large = TBlockCache::MinBytes * 2 + 12345;

// A freed large block serves the next request of its size, and only that size; live blocks are
// never handed out twice, also when more are freed than the cache keeps, and the latest freed
// are the ones kept.
TEST(RecyclingAllocatorTest, ReusesFreedBlocksOfTheSameSizeOnly) {
  void* first = TBlockCache::Allocate(Large);
  TBlockCache::Free(first, Large);
  void* other = TBlockCache::Allocate(Large + 1);
  void* again = TBlockCache::Allocate(Large);
  EXPECT_EQ(again, first);
  EXPECT_NE(other, first);

  std::vector<void*> live;
  for (int i = 0; i < 8; ++i)
    live.push_back(TBlockCache::Allocate(Large));
  for (void* block : live)
    TBlockCache::Free(block, Large);
  std::vector<void*> reused;
  for (int i = 0; i < 8; ++i)
    reused.push_back(TBlockCache::Allocate(Large));
  for (std::size_t i = 0; i < reused.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j)
      EXPECT_NE(reused[i], reused[j]);
  }
  // The last ones freed are the ones kept, and come back first.
  const auto kept = static_cast<std::ptrdiff_t>(TBlockCache::Kept);
  for (std::ptrdiff_t i = 0; i < kept; ++i)
    EXPECT_NE(std::find(live.end() - kept, live.end(), reused[i]), live.end());
  for (void* block : reused)
    TBlockCache::Free(block, Large);
  TBlockCache::Free(other, Large + 1);
  TBlockCache::Free(again, Large);
}

// A grid on recycled memory starts at zero like any other.
TEST(RecyclingAllocatorTest, RecycledGridsStartAtZero) {
  const std::int32_t width = 300, height = 300;
  {
    TGrid<std::uint8_t> dirty(width, height);
    for (std::int32_t x = 0; x < width; ++x)
      dirty[x][x % height] = 7;
  }
  const TGrid<std::uint8_t> clean(width, height);
  for (std::int32_t x = 0; x < width; ++x) {
    for (std::int32_t y = 0; y < height; ++y)
      ASSERT_EQ(clean[x][y], 0);
  }
}

}  // namespace
}  // namespace hillograph
