// The label font: UTF-8 text measured and drawn into a picture with FreeType, in DejaVu Sans
// (DejaVu Sans Oblique for italic) at an em of 13 pixels, that is 10 points at 96 pixels per inch.
//
// Text metrics decide where every town after the first stands, so they are whole pixels computed
// by our own integer arithmetic from the faces' design units (2048 per em), which are built into
// the program; they do not depend on FreeType's version or hinting:
// - a glyph's advance is its advance width scaled to 13 pixels per em, halves rounded up; a text's
//   width is the sum of its glyphs' advances (no kerning);
// - ascent = ceil(ascender * 13 / 2048) = 13 and descent = ceil(-descender * 13 / 2048) = 4 for
//   both faces, so the cell height is 17;
// - the underline is max(1, rounded(thickness)) = 1 pixel thick and sits where the face's
//   underline position puts its centre, rounded to a whole row: the first row below the baseline.
// Only the glyph images come from FreeType: outlines hinted by the faces' own instructions under
// the version 40 interpreter (fixed, whatever the environment says; never the automatic hinter),
// turned into grey levels by the smooth rasteriser. Turning hinting off would change every label,
// so it stays; the golden map checksums in the tests say when FreeType draws them differently.
//
// Labels for print are asked for at Scale times the em (13 * Scale pixels); every number above is
// then taken from the design units at that em. Each thread loads each face once per size, when
// first asked for, and caches glyph images and advances per face and size.
#pragma once

#include <cstdint>
#include <string_view>

#include "synthesis/base/Color.h"
#include "synthesis/raster/Picture.h"

namespace hillograph {

inline constexpr std::int32_t LabelFontEmPixels = 13;

// Text may be asked for at 1 .. this many times the em; another scale throws
// std::invalid_argument.
inline constexpr std::int32_t MaxLabelFontScale = 16;

// A text counts at most this wide. A label that wide reaches far past the right edge of any
// picture, so no town moves, and measuring a name of millions of letters stops early.
inline constexpr std::int32_t LabelWidthLimit = 1 << 20;

struct TFontStyles {
  bool Italic = false;
  bool Underline = false;
};

// The advance width of Text in pixels, at most LabelWidthLimit.
std::int32_t LabelTextWidth(std::string_view Text, TFontStyles Style, std::int32_t Scale = 1);

// The cell height, ascent plus descent, in pixels.
std::int32_t LabelTextHeight(TFontStyles Style, std::int32_t Scale = 1);

// The ascent: how far below the top of the cell the baseline lies, in pixels.
std::int32_t LabelTextAscent(TFontStyles Style, std::int32_t Scale = 1);

// Paints the glyphs of Text with the top-left corner of its cell at (x, y), each pixel blended
// toward Color by the glyph's coverage, and the underline when the style asks for it. Only the
// glyphs are painted; whatever falls outside the picture is left out, and the glyphs past its
// right edge are not even looked at.
void DrawLabelText(TPicture& Picture, std::int32_t x, std::int32_t y, std::string_view Text,
                   TFontStyles Style, TColor Color, std::int32_t Scale = 1);

}  // namespace hillograph
