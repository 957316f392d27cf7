#include "synthesis/memory/HugePages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <new>

namespace hillograph {
namespace {

// Below the threshold, and where rounding up to whole huge pages would overflow, a size is
// refused. (Blocks of many sizes held side by side are the height fields that PlasmaTest keeps
// at once, up to 2049 x 1537, each compared with the oracle's.)
TEST(HugePagesTest, RefusesSizesOutsideItsRange) {
  for (const std::size_t size : {std::size_t{0}, MinHugeBlockBytes - 1, SIZE_MAX})
    EXPECT_THROW(AllocateHugeBlock(size), std::bad_alloc) << size;
}

}  // namespace
}  // namespace hillograph
