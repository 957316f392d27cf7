#include "synthesis/raster/Picture.h"

#include <gtest/gtest.h>

namespace hillograph {
namespace {

// A new size, one side of it or both, gives rows of the new width, zero-padded to four bytes;
// the same size keeps the pixels.
TEST(PictureTest, ResizedOneSideAtATime) {
  const struct {
    std::int32_t width, height;
    std::size_t stride;
  } sizes[] = {{5, 3, 16}, {6, 3, 20}, {6, 3, 20}, {6, 5, 20}, {1, 5, 4}, {1, 5, 4}};
  for (const bool uninitialised : {false, true}) {
    TPicture picture;
    for (const auto& size : sizes) {
      if (picture.Width() > 0) picture.ScanLine(0)[0] = 9;
      const bool same = picture.Width() == size.width && picture.Height() == size.height;
      if (uninitialised) {
        picture.SetSize(size.width, size.height, TUninitialised{});
      } else {
        picture.SetSize(size.width, size.height);
      }
      EXPECT_EQ(picture.Width(), size.width);
      EXPECT_EQ(picture.Height(), size.height);
      EXPECT_EQ(picture.Stride(), size.stride);
      // The last row's padding, which is the last byte of the storage.
      EXPECT_EQ(picture.ScanLine(size.height - 1)[size.stride - 1], 0);
      if (same || !uninitialised) {
        EXPECT_EQ(picture.ScanLine(0)[0], same ? 9 : 0);
      }
    }
  }
}

}  // namespace
}  // namespace hillograph
