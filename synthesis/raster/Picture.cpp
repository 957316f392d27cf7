#include "synthesis/raster/Picture.h"

#include <algorithm>

namespace hillograph {

namespace {
constexpr std::size_t BytesPerPixel = 3;
constexpr std::size_t RowAlignment = 4;
}  // namespace

void TPicture::SetSize(std::int32_t Width, std::int32_t Height) {
  if (Width == width_ && Height == height_) return;
  const std::size_t stride = (static_cast<std::size_t>(Width) * BytesPerPixel + RowAlignment - 1) /
                             RowAlignment * RowAlignment;
  bits_.assign(stride * static_cast<std::size_t>(Height), 0);
  width_ = Width;
  height_ = Height;
  stride_ = stride;
}

void FillRect(TPicture& Picture, const TRect& Rect, TColor Color) {
  const std::int32_t left = std::max(Rect.Left, 0);
  const std::int32_t right = std::min(Rect.Right, Picture.Width());
  const std::int32_t bottom = std::min(Rect.Bottom, Picture.Height());
  if (left >= right) return;  // else the row pointers below could point past their rows
  const std::uint8_t blue = BlueOf(Color);
  const std::uint8_t green = GreenOf(Color);
  const std::uint8_t red = RedOf(Color);
  for (std::int32_t y = std::max(Rect.Top, 0); y < bottom; ++y) {
    std::uint8_t* p = Picture.ScanLine(y) + BytesPerPixel * static_cast<std::size_t>(left);
    for (std::int32_t x = left; x < right; ++x, p += BytesPerPixel) {
      p[0] = blue;
      p[1] = green;
      p[2] = red;
    }
  }
}

void GetScanLines(TPicture& Bitmap, TScanLines& Lines) {
  Lines.resize(static_cast<std::size_t>(Bitmap.Height()));
  for (std::int32_t y = 0; y < Bitmap.Height(); ++y)
    Lines[y] = Bitmap.ScanLine(y);
}

}  // namespace hillograph
