// The drawing surface of a picture: what the overlay passes draw with. Everything is clipped to
// the picture.
#pragma once

#include <cstdint>
#include <string_view>

#include "synthesis/base/Color.h"
#include "synthesis/raster/LabelFont.h"
#include "synthesis/raster/Picture.h"

namespace hillograph {

enum class TBrushStyle { bsSolid, bsClear };

inline constexpr TColor clBlack = RGB(0, 0, 0);
inline constexpr TColor clWhite = RGB(255, 255, 255);

// The text settings. The face is the label font's, at Scale times its em (1 .. MaxLabelFontScale).
struct TFont {
  TColor Color = clBlack;
  TFontStyles Style;
  std::int32_t Scale = 1;
};

class TCanvas {
 public:
  explicit TCanvas(TPicture& Picture) : picture_(Picture) {}

  TColor BrushColor = clWhite;
  TBrushStyle BrushStyle = TBrushStyle::bsSolid;
  TFont Font;
  // Outlines of shapes: a solid line 1 pixel wide.
  TColor PenColor = clBlack;

  // The whole picture.
  TRect ClipRect() const { return {0, 0, picture_.Width(), picture_.Height()}; }

  // Paints the one-pixel rim just inside Rect in the brush colour.
  void FrameRect(const TRect& Rect);

  // The ellipse inscribed in the box (Left, Top) - (Right, Bottom), right column and bottom row
  // outside: the pixels whose centres lie inside it. Those that touch the outside along a row or a
  // column form the outline, in the pen colour; the others are filled with the brush colour when
  // the brush is solid.
  void Ellipse(std::int32_t Left, std::int32_t Top, std::int32_t Right, std::int32_t Bottom);

  // Draws Text in the font with the top-left corner of its cell at (x, y). A solid brush first
  // fills the cell, TextWidth by TextHeight, with the brush colour; a clear one leaves it.
  void TextOut(std::int32_t x, std::int32_t y, std::string_view Text);

  // The advance width and the cell height of Text in the font.
  std::int32_t TextWidth(std::string_view Text) const {
    return LabelTextWidth(Text, Font.Style, Font.Scale);
  }
  std::int32_t TextHeight(std::string_view /*Text*/) const {
    return LabelTextHeight(Font.Style, Font.Scale);
  }

 private:
  TPicture& picture_;
};

}  // namespace hillograph
