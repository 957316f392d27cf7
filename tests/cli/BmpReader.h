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
  std::vector<TColor> pixels;  // rows from the top

  TColor Pixel(std::int32_t x, std::int32_t y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x];
  }
};

// The little-endian 32-bit number at a byte of a file.
inline std::uint32_t Le32(const std::string& b, std::size_t i) {
  const auto at = [&b](std::size_t k) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(b.at(k)));
  };
  return at(i) | at(i + 1) << 8 | at(i + 2) << 16 | at(i + 3) << 24;
}

// Reads a 24-bit uncompressed BMP, rows stored either way up; throws for anything else.
inline TBmpImage ReadBmp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto at = [&b](std::size_t i) { return static_cast<std::uint8_t>(b.at(i)); };
  const auto le32 = [&b](std::size_t i) { return Le32(b, i); };
  if (b.size() < 54 || b.substr(0, 2) != "BM" || le32(2) != b.size())
    throw std::runtime_error("BMP");
  if ((at(28) | at(29) << 8) != 24 || le32(30) != 0) throw std::runtime_error("not 24-bit, plain");
  TBmpImage image;
  image.width = static_cast<std::int32_t>(le32(18));
  const auto rawHeight = static_cast<std::int32_t>(le32(22));
  image.height = rawHeight < 0 ? -rawHeight : rawHeight;
  const std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) / 4 * 4;
  for (std::int32_t y = 0; y < image.height; ++y) {
    const std::size_t row =
        le32(10) + stride * static_cast<std::size_t>(rawHeight < 0 ? y : image.height - 1 - y);
    for (std::size_t p = row; p < row + 3 * static_cast<std::size_t>(image.width); p += 3)
      image.pixels.push_back(RGB(at(p + 2), at(p + 1), at(p)));  // throws past the end
  }
  return image;
}

}  // namespace hillograph::testing
