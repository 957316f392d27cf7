// Reading and filling pictures in tests.
#pragma once

#include <cstdint>

#include "synthesis/base/Color.h"
#include "synthesis/raster/Picture.h"

namespace hillograph::testing {

inline TColor PixelAt(const TPicture& picture, std::int32_t x, std::int32_t y) {
  const std::uint8_t* p = picture.ScanLine(y) + 3 * x;
  return RGB(p[2], p[1], p[0]);
}

inline TPicture FilledPicture(std::int32_t width, std::int32_t height, TColor color) {
  TPicture picture;
  picture.SetSize(width, height);
  FillRect(picture, {0, 0, width, height}, color);
  return picture;
}

}  // namespace hillograph::testing
