#include "synthesis/raster/Picture.h"

#include <gtest/gtest.h>

#include <tuple>

namespace hillograph {
namespace {

// Each size differs from the one before in one side: rows of the new width, zero-padded to four
// bytes, as many as the new height.
TEST(PictureTest, ResizedOneSideAtATime) {
  const std::int32_t sizes[][3] = {{5, 3, 16}, {6, 3, 20}, {6, 5, 20}, {1, 5, 4}};
  for (const bool uninitialised : {false, true}) {
    TPicture picture;
    for (const auto& [width, height, stride] : sizes) {
      if (uninitialised) {
        picture.SetSize(width, height, Uninitialised);
      } else {
        picture.SetSize(width, height);
      }
      EXPECT_EQ(std::tuple(picture.Width(), picture.Height(), picture.Stride()),
                std::tuple(width, height, static_cast<std::size_t>(stride)));
      EXPECT_EQ(picture.ScanLine(height - 1)[stride - 1], 0);  // the last byte there is
    }
  }
}

}  // namespace
}  // namespace hillograph
