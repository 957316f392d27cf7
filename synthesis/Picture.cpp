#include "synthesis/Picture.h"

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

void GetScanLines(TPicture& Bitmap, TScanLines& Lines) {
  Lines.resize(static_cast<std::size_t>(Bitmap.Height()));
  for (std::int32_t y = 0; y < Bitmap.Height(); ++y)
    Lines[y] = Bitmap.ScanLine(y);
}

}  // namespace hillograph
