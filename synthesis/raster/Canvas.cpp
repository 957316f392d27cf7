#include "synthesis/raster/Canvas.h"

#include <algorithm>

namespace hillograph {
namespace {

// The columns [Begin, End) of one row of an ellipse, relative to its box; empty when Begin >= End.
struct TSpan {
  std::int32_t Begin;
  std::int32_t End;
};

// Row j of the ellipse inscribed in a w x h box: the columns i whose pixel centres lie inside,
// (2i + 1 - w)^2 h^2 + (2j + 1 - h)^2 w^2 <= w^2 h^2, in integers. Rows outside the box are empty.
// The span is symmetric about the box's middle column by construction.
TSpan EllipseSpan(std::int32_t j, std::int32_t w, std::int32_t h) {
  if (j < 0 || j >= h) return {0, 0};
  const std::int64_t w2 = std::int64_t{w} * w;
  const std::int64_t h2 = std::int64_t{h} * h;
  const std::int64_t v = 2 * std::int64_t{j} + 1 - h;
  const std::int64_t room = w2 * h2 - v * v * w2;
  std::int32_t inset = 0;
  while (inset < (w + 1) / 2) {
    const std::int64_t u = 2 * std::int64_t{inset} + 1 - w;
    if (u * u * h2 <= room) break;
    ++inset;
  }
  return {inset, w - inset};
}

}  // namespace

void TCanvas::FrameRect(const TRect& Rect) {
  if (Rect.Right <= Rect.Left || Rect.Bottom <= Rect.Top) return;
  FillRect(picture_, {Rect.Left, Rect.Top, Rect.Right, Rect.Top + 1}, BrushColor);
  FillRect(picture_, {Rect.Left, Rect.Bottom - 1, Rect.Right, Rect.Bottom}, BrushColor);
  FillRect(picture_, {Rect.Left, Rect.Top + 1, Rect.Left + 1, Rect.Bottom - 1}, BrushColor);
  FillRect(picture_, {Rect.Right - 1, Rect.Top + 1, Rect.Right, Rect.Bottom - 1}, BrushColor);
}

void TCanvas::Ellipse(std::int32_t Left, std::int32_t Top, std::int32_t Right,
                      std::int32_t Bottom) {
  const std::int32_t w = Right - Left;
  const std::int32_t h = Bottom - Top;
  if (w <= 0 || h <= 0) return;
  const bool fill = BrushStyle == TBrushStyle::bsSolid;
  const std::int32_t firstRow = std::max(0, -Top);
  const std::int32_t endRow = std::min(h, picture_.Height() - Top);
  TSpan above = EllipseSpan(firstRow - 1, w, h);
  TSpan span = EllipseSpan(firstRow, w, h);
  for (std::int32_t j = firstRow; j < endRow; ++j) {
    const TSpan below = EllipseSpan(j + 1, w, h);
    // Inside the rows above and below as well: neither of those neighbours is outside.
    const std::int32_t innerBegin = std::max({span.Begin + 1, above.Begin, below.Begin});
    const std::int32_t innerEnd = std::min({span.End - 1, above.End, below.End});
    const std::int32_t y = Top + j;
    if (innerBegin < innerEnd) {
      FillRect(picture_, {Left + span.Begin, y, Left + innerBegin, y + 1}, PenColor);
      if (fill) FillRect(picture_, {Left + innerBegin, y, Left + innerEnd, y + 1}, BrushColor);
      FillRect(picture_, {Left + innerEnd, y, Left + span.End, y + 1}, PenColor);
    } else {
      FillRect(picture_, {Left + span.Begin, y, Left + span.End, y + 1}, PenColor);
    }
    above = span;
    span = below;
  }
}

void TCanvas::TextOut(std::int32_t x, std::int32_t y, std::string_view Text) {
  if (BrushStyle == TBrushStyle::bsSolid) {
    FillRect(picture_, {x, y, x + TextWidth(Text), y + TextHeight(Text)}, BrushColor);
  }
  DrawLabelText(picture_, x, y, Text, Font.Style, Font.Color, Font.Scale);
}

}  // namespace hillograph
