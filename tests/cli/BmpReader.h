// A small BMP reader written from the file format alone, to check written pictures independently
// of the code that writes them.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "synthesis/base/Color.h"

namespace hillograph::testing {

struct TBmpImage {
  std::int32_t width = 0;
  std::int32_t height = 0;
  int bitsPerPixel = 0;
  std::vector<TColor> pixels;  // rows from the top

  TColor Pixel(std::int32_t x, std::int32_t y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x];
  }
};

inline std::uint32_t Le32(const std::string& b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
         static_cast<std::uint8_t>(b[at + 2]) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}

inline TBmpImage ReadBmp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() < 54 || bytes.substr(0, 2) != "BM") throw std::runtime_error("not a BMP");
  if (Le32(bytes, 2) != bytes.size()) throw std::runtime_error("file size field is wrong");
  const std::uint32_t offset = Le32(bytes, 10);
  TBmpImage image;
  image.width = static_cast<std::int32_t>(Le32(bytes, 18));
  const auto rawHeight = static_cast<std::int32_t>(Le32(bytes, 22));
  image.height = rawHeight < 0 ? -rawHeight : rawHeight;
  image.bitsPerPixel = static_cast<std::uint8_t>(bytes[28]) | static_cast<std::uint8_t>(bytes[29])
                                                                  << 8;
  if (Le32(bytes, 30) != 0) throw std::runtime_error("compressed");
  if (image.bitsPerPixel != 24) return image;
  const std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) / 4 * 4;
  if (offset + stride * static_cast<std::size_t>(image.height) > bytes.size()) {
    throw std::runtime_error("truncated");
  }
  for (std::int32_t y = 0; y < image.height; ++y) {
    const std::int32_t fileRow = rawHeight < 0 ? y : image.height - 1 - y;
    const std::size_t row = offset + static_cast<std::size_t>(fileRow) * stride;
    for (std::int32_t x = 0; x < image.width; ++x) {
      const std::size_t p = row + 3 * static_cast<std::size_t>(x);
      image.pixels.push_back(RGB(static_cast<std::uint8_t>(bytes[p + 2]),
                                 static_cast<std::uint8_t>(bytes[p + 1]),
                                 static_cast<std::uint8_t>(bytes[p])));
    }
  }
  return image;
}

}  // namespace hillograph::testing
