#include "synthesis/memory/HugePages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace hillograph {
namespace {

// Blocks held side by side keep what was written into each, whatever their sizes, and one past
// any limit is refused.
TEST(HugePagesTest, BlocksSideBySideKeepTheirBytes) {
  const std::size_t sizes[] = {MinHugeBlockBytes,        1000000, 2 << 20, (3 << 20) + 1,
                               MinHugeBlockBytes + 4095, 5 << 20};
  std::vector<std::uint8_t*> blocks;
  for (const std::size_t size : sizes) {
    blocks.push_back(static_cast<std::uint8_t*>(AllocateHugeBlock(size)));
    std::memset(blocks.back(), static_cast<int>(blocks.size()), size);
  }
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const std::vector<std::uint8_t> expected(sizes[i], static_cast<std::uint8_t>(i + 1));
    EXPECT_EQ(std::memcmp(blocks[i], expected.data(), sizes[i]), 0) << sizes[i];
    FreeHugeBlock(blocks[i], sizes[i]);
  }
  for (const std::size_t size : {std::size_t{0}, MinHugeBlockBytes - 1, SIZE_MAX})
    EXPECT_THROW(AllocateHugeBlock(size), std::bad_alloc) << size;
}

}  // namespace
}  // namespace hillograph
