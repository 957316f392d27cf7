// The map picture: a 24-bit raster, three bytes blue, green, red per pixel, rows from the top,
// each row padded to a multiple of 4 bytes as in BMP files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "synthesis/base/Color.h"
#include "synthesis/memory/Grid.h"
#include "synthesis/memory/RecyclingAllocator.h"

namespace hillograph {

class TPicture {
 public:
  // Keeps the storage (and its content) when the size does not change; new pixels are black.
  void SetSize(std::int32_t Width, std::int32_t Height);
  // The same for a caller that writes every pixel next: new pixels are left as the memory holds
  // them (the padding at the end of each row is still zero).
  void SetSize(std::int32_t Width, std::int32_t Height, TUninitialised);

  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  std::size_t Stride() const { return stride_; }

  std::uint8_t* ScanLine(std::int32_t y) { return bits_.data() + Offset(y); }
  const std::uint8_t* ScanLine(std::int32_t y) const { return bits_.data() + Offset(y); }
  const std::uint8_t* Bits() const { return bits_.data(); }

 private:
  std::size_t Offset(std::int32_t y) const { return static_cast<std::size_t>(y) * stride_; }

  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::size_t stride_ = 0;
  std::vector<std::uint8_t, TRecyclingAllocator<std::uint8_t>> bits_;
};

// A rectangle of pixels: the columns Left .. Right - 1 and the rows Top .. Bottom - 1.
struct TRect {
  std::int32_t Left;
  std::int32_t Top;
  std::int32_t Right;   // first column outside
  std::int32_t Bottom;  // first row outside
};

// Sets the pixels of Rect that lie inside the picture to Color.
void FillRect(TPicture& Picture, const TRect& Rect, TColor Color);

// Pointers to the first byte of every row, row 0 first.
using TScanLines = std::vector<std::uint8_t*>;

void GetScanLines(TPicture& Bitmap, TScanLines& Lines);

}  // namespace hillograph
