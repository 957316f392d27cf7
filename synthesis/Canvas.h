// The drawing surface of a picture: what the overlay passes draw with. Everything is clipped to
// the picture.
#pragma once

#include <cstdint>

#include "synthesis/Color.h"
#include "synthesis/Picture.h"

namespace hillograph {

enum class TBrushStyle { bsSolid, bsClear };

struct TRect {
  std::int32_t Left;
  std::int32_t Top;
  std::int32_t Right;   // first column outside
  std::int32_t Bottom;  // first row outside
};

class TCanvas {
 public:
  explicit TCanvas(TPicture& Picture) : picture_(Picture) {}

  TColor BrushColor = 0xFFFFFF;
  TBrushStyle BrushStyle = TBrushStyle::bsSolid;

  // The whole picture.
  TRect ClipRect() const { return {0, 0, picture_.Width(), picture_.Height()}; }

  // Paints the one-pixel rim just inside Rect in the brush colour.
  void FrameRect(const TRect& Rect);

  // One pixel, if it lies inside the picture.
  void SetPixel(std::int32_t x, std::int32_t y, TColor Color);

 private:
  void FillSpan(std::int32_t x1, std::int32_t x2, std::int32_t y, TColor Color);

  TPicture& picture_;
};

}  // namespace hillograph
