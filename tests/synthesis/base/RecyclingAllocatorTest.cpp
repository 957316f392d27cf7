#include "synthesis/base/RecyclingAllocator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "synthesis/base/Grid.h"

namespace hillograph {
namespace {

// A freed large block serves the next request of its size only, and live blocks are never handed
// out twice, also when more are freed than the cache keeps.
TEST(RecyclingAllocatorTest, ReusesFreedBlocksOfTheSameSizeOnly) {
  constexpr std::size_t Large = TBlockCache::MinBytes * 2 + 12345;  // no grid of another test
  void* first = TBlockCache::Allocate(Large);
  TBlockCache::Free(first, Large);
  void* other = TBlockCache::Allocate(Large + 1);
  EXPECT_NE(other, first);
  std::set<void*> live = {TBlockCache::Allocate(Large)};
  EXPECT_EQ(*live.begin(), first);
  for (std::size_t i = 0; i < 2 * TBlockCache::Kept; ++i)
    live.insert(TBlockCache::Allocate(Large));
  EXPECT_EQ(live.size(), 2 * TBlockCache::Kept + 1);
  for (void* block : live)
    TBlockCache::Free(block, Large);
  TBlockCache::Free(other, Large + 1);
}

TEST(RecyclingAllocatorTest, RecycledGridsStartAtZero) {
  { TGrid<std::uint8_t>(300, 300).Data()[300 * 300 - 1] = 7; }
  const TGrid<std::uint8_t> clean(300, 300);
  EXPECT_EQ(clean.Data()[300 * 300 - 1], 0);
}

}  // namespace
}  // namespace hillograph
