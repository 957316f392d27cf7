#include "synthesis/Canvas.h"

#include <algorithm>

namespace hillograph {

void TCanvas::SetPixel(std::int32_t x, std::int32_t y, TColor Color) {
  if (x < 0 || y < 0 || x >= picture_.Width() || y >= picture_.Height()) return;
  std::uint8_t* p = picture_.ScanLine(y) + 3 * static_cast<std::ptrdiff_t>(x);
  p[0] = BlueOf(Color);
  p[1] = GreenOf(Color);
  p[2] = RedOf(Color);
}

void TCanvas::FillSpan(std::int32_t x1, std::int32_t x2, std::int32_t y, TColor Color) {
  if (y < 0 || y >= picture_.Height()) return;
  x1 = std::max(x1, 0);
  x2 = std::min(x2, picture_.Width());
  std::uint8_t* p = picture_.ScanLine(y) + 3 * static_cast<std::ptrdiff_t>(x1);
  for (std::int32_t x = x1; x < x2; ++x, p += 3) {
    p[0] = BlueOf(Color);
    p[1] = GreenOf(Color);
    p[2] = RedOf(Color);
  }
}

void TCanvas::FrameRect(const TRect& Rect) {
  if (Rect.Right <= Rect.Left || Rect.Bottom <= Rect.Top) return;
  FillSpan(Rect.Left, Rect.Right, Rect.Top, BrushColor);
  FillSpan(Rect.Left, Rect.Right, Rect.Bottom - 1, BrushColor);
  for (std::int32_t y = Rect.Top + 1; y < Rect.Bottom - 1; ++y) {
    SetPixel(Rect.Left, y, BrushColor);
    SetPixel(Rect.Right - 1, y, BrushColor);
  }
}

}  // namespace hillograph
