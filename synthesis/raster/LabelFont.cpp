#include "synthesis/raster/LabelFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_DRIVER_H
#include FT_MODULE_H

#include <algorithm>
#include <array>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "synthesis/base/ArgumentCheck.h"
#include "synthesis/base/Utf8.h"
#include "synthesis/raster/EmbeddedFonts.h"

namespace hillograph {
namespace {

// Floor division for a positive divisor.
constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Design units to pixels at an em of em pixels: rounded (halves up) and rounded up.
constexpr std::int32_t ScaleRounded(std::int64_t units, std::int64_t em, std::int64_t unitsPerEm) {
  return static_cast<std::int32_t>(FloorDiv(2 * units * em + unitsPerEm, 2 * unitsPerEm));
}
constexpr std::int32_t ScaleCeil(std::int64_t units, std::int64_t em, std::int64_t unitsPerEm) {
  return static_cast<std::int32_t>(-FloorDiv(-units * em, unitsPerEm));
}

// The faces' own hinting for the normal target; never the automatic hinter nor an embedded bitmap.
constexpr FT_Int32 GlyphLoadFlags = FT_LOAD_TARGET_NORMAL | FT_LOAD_NO_AUTOHINT | FT_LOAD_NO_BITMAP;

[[noreturn]] void FreeTypeFailed(const char* what, FT_Error error) {
  throw std::runtime_error(std::string("label font: ") + what + " failed with FreeType error " +
                           std::to_string(error));
}

class TFreeTypeLibrary {
 public:
  TFreeTypeLibrary() {
    if (const FT_Error error = FT_Init_FreeType(&library_))
      FreeTypeFailed("FT_Init_FreeType", error);
    // The glyph images are hinted by the faces' own instructions, and how those run depends on
    // the interpreter: fix the one the label images were made with, whatever FreeType's build or
    // the FREETYPE_PROPERTIES environment variable would choose.
    FT_UInt interpreter = TT_INTERPRETER_VERSION_40;
    if (const FT_Error error =
            FT_Property_Set(library_, "truetype", "interpreter-version", &interpreter)) {
      FT_Done_FreeType(library_);
      FreeTypeFailed("FT_Property_Set", error);
    }
  }
  ~TFreeTypeLibrary() { FT_Done_FreeType(library_); }
  TFreeTypeLibrary(const TFreeTypeLibrary&) = delete;
  TFreeTypeLibrary& operator=(const TFreeTypeLibrary&) = delete;
  FT_Library Get() const { return library_; }

 private:
  FT_Library library_ = nullptr;
};

// One glyph at the label size: its advance and its coverage image, 8 bits per pixel, placed
// relative to the pen position on the baseline.
struct TGlyph {
  std::int32_t Advance = 0;
  std::int32_t Left = 0;  // columns from the pen position to the image's first column
  std::int32_t Top = 0;   // rows from the image's first row down to the baseline
  std::int32_t Width = 0;
  std::int32_t Rows = 0;
  std::size_t Offset = 0;  // of the image in the face's coverage store
  bool Loaded = false;
};

// One face at one size: an em of em pixels.
class TLabelFace {
 public:
  TLabelFace(FT_Library library, std::span<const std::uint8_t> data, std::int32_t em) : em_(em) {
    if (const FT_Error error = FT_New_Memory_Face(library, data.data(),
                                                  static_cast<FT_Long>(data.size()), 0, &face_)) {
      FreeTypeFailed("FT_New_Memory_Face", error);
    }
    if (const FT_Error error = FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(em))) {
      FT_Done_Face(face_);
      FreeTypeFailed("FT_Set_Pixel_Sizes", error);
    }
    const std::int64_t unitsPerEm = face_->units_per_EM;
    Ascent = ScaleCeil(face_->ascender, em, unitsPerEm);
    Descent = ScaleCeil(-face_->descender, em, unitsPerEm);
    UnderlineThickness = std::max(1, ScaleRounded(face_->underline_thickness, em, unitsPerEm));
    // The underline's centre lies -underline_position below the baseline; its top row is the
    // nearest whole row to the centre less half the thickness.
    // No glyph image starts further left of its pen position than the face's box, give or take
    // what hinting moves: an em is ample.
    MinLeft =
        static_cast<std::int32_t>(FloorDiv(std::int64_t{face_->bbox.xMin} * em, unitsPerEm)) - em;
    UnderlineTop = Ascent + static_cast<std::int32_t>(
                                FloorDiv(2 * -std::int64_t{face_->underline_position} * em -
                                             UnderlineThickness * unitsPerEm + unitsPerEm,
                                         2 * unitsPerEm));
  }
  ~TLabelFace() { FT_Done_Face(face_); }
  TLabelFace(const TLabelFace&) = delete;
  TLabelFace& operator=(const TLabelFace&) = delete;

  const TGlyph& Glyph(char32_t CodePoint) {
    if (CodePoint < latin_.size()) {
      TGlyph& glyph = latin_[CodePoint];
      if (!glyph.Loaded) glyph = Load(CodePoint);
      return glyph;
    }
    const auto found = others_.find(CodePoint);
    if (found != others_.end()) return found->second;
    return others_.emplace(CodePoint, Load(CodePoint)).first->second;
  }

  const std::uint8_t* Image(const TGlyph& Glyph) const { return coverage_.data() + Glyph.Offset; }

  std::int32_t Ascent;
  std::int32_t Descent;
  std::int32_t MinLeft;       // no glyph's Left is smaller
  std::int32_t UnderlineTop;  // rows from the top of the cell
  std::int32_t UnderlineThickness;

 private:
  // A code point the face lacks gets the face's missing-glyph box; a glyph that fails to load is
  // left blank.
  TGlyph Load(char32_t CodePoint) {
    TGlyph glyph;
    glyph.Loaded = true;
    const FT_UInt index = FT_Get_Char_Index(face_, CodePoint);
    FT_Fixed advance = 0;
    if (FT_Get_Advance(face_, index, FT_LOAD_NO_SCALE, &advance) == 0) {
      glyph.Advance = ScaleRounded(advance, em_, face_->units_per_EM);
    }
    // Grey levels from the smooth rasteriser: no subpixel or LCD rendering, no LCD filter.
    if (FT_Load_Glyph(face_, index, GlyphLoadFlags) != 0) return glyph;
    const FT_GlyphSlot slot = face_->glyph;
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return glyph;
    glyph.Left = slot->bitmap_left;
    glyph.Top = slot->bitmap_top;
    glyph.Width = static_cast<std::int32_t>(bitmap.width);
    glyph.Rows = static_cast<std::int32_t>(bitmap.rows);
    glyph.Offset = coverage_.size();
    for (std::int32_t r = 0; r < glyph.Rows; ++r) {
      const std::uint8_t* row = bitmap.pitch >= 0
                                    ? bitmap.buffer + r * bitmap.pitch
                                    : bitmap.buffer + (glyph.Rows - 1 - r) * -bitmap.pitch;
      coverage_.insert(coverage_.end(), row, row + glyph.Width);
    }
    return glyph;
  }

  std::int32_t em_;
  FT_Face face_ = nullptr;
  std::array<TGlyph, 256> latin_{};
  std::unordered_map<char32_t, TGlyph> others_;
  std::vector<std::uint8_t> coverage_;
};

// The faces at every scale asked for so far, each with its own glyph cache, made when first
// needed: a glyph image and its advance belong to one size.
class TLabelFonts {
 public:
  TLabelFace& Face(TFontStyles Style, std::int32_t Scale) {
    std::vector<std::unique_ptr<TLabelFace>>& sizes = Style.Italic ? italic_ : regular_;
    const auto index = static_cast<std::size_t>(Scale - 1);
    if (index >= sizes.size()) sizes.resize(index + 1);
    if (sizes[index] == nullptr) {
      sizes[index] = std::make_unique<TLabelFace>(
          library_.Get(), Style.Italic ? DejaVuSansObliqueFontData() : DejaVuSansFontData(),
          LabelFontEmPixels * Scale);
    }
    return *sizes[index];
  }

 private:
  TFreeTypeLibrary library_;  // first in, last out
  std::vector<std::unique_ptr<TLabelFace>> regular_;
  std::vector<std::unique_ptr<TLabelFace>> italic_;
};

// Each thread its own faces and glyph caches: the caches grow as text is measured and drawn.
TLabelFace& FaceFor(TFontStyles Style, std::int32_t Scale) {
  CheckArgument("LabelScale", Scale, 1, MaxLabelFontScale);
  thread_local TLabelFonts fonts;
  return fonts.Face(Style, Scale);
}

// Moves the channel p the fraction a / 255 of the way toward c, rounded to nearest.
inline std::uint8_t Blend(std::uint32_t p, std::uint32_t c, std::uint32_t a) {
  const std::uint32_t v = p * (255 - a) + c * a + 128;
  return static_cast<std::uint8_t>((v + (v >> 8)) >> 8);
}

void DrawGlyph(TPicture& Picture, std::int32_t left, std::int32_t top, std::int32_t width,
               std::int32_t rows, const std::uint8_t* image, TColor Color) {
  const std::int32_t r1 = std::max(0, -top);
  const std::int32_t r2 = std::min(rows, Picture.Height() - top);
  const std::int32_t c1 = std::max(0, -left);
  const std::int32_t c2 = std::min(width, Picture.Width() - left);
  // A glyph wholly beside the picture has no column in it, and a row pointer moved to its first
  // column would point past the row.
  if (c1 >= c2) return;
  const std::uint32_t blue = BlueOf(Color), green = GreenOf(Color), red = RedOf(Color);
  for (std::int32_t r = r1; r < r2; ++r) {
    const std::uint8_t* coverage = image + static_cast<std::ptrdiff_t>(r) * width;
    std::uint8_t* p = Picture.ScanLine(top + r) + 3 * static_cast<std::ptrdiff_t>(left + c1);
    for (std::int32_t c = c1; c < c2; ++c, p += 3) {
      const std::uint32_t a = coverage[c];
      if (a == 0) continue;
      p[0] = Blend(p[0], blue, a);
      p[1] = Blend(p[1], green, a);
      p[2] = Blend(p[2], red, a);
    }
  }
}

}  // namespace

std::int32_t LabelTextWidth(std::string_view Text, TFontStyles Style, std::int32_t Scale) {
  TLabelFace& face = FaceFor(Style, Scale);
  std::int32_t width = 0;
  for (std::size_t pos = 0; pos < Text.size() && width < LabelWidthLimit;)
    width += face.Glyph(NextCodePoint(Text, pos)).Advance;
  return std::min(width, LabelWidthLimit);
}

std::int32_t LabelTextHeight(TFontStyles Style, std::int32_t Scale) {
  const TLabelFace& face = FaceFor(Style, Scale);
  return face.Ascent + face.Descent;
}

std::int32_t LabelTextAscent(TFontStyles Style, std::int32_t Scale) {
  return FaceFor(Style, Scale).Ascent;
}

void DrawLabelText(TPicture& Picture, std::int32_t x, std::int32_t y, std::string_view Text,
                   TFontStyles Style, TColor Color, std::int32_t Scale) {
  TLabelFace& face = FaceFor(Style, Scale);
  const std::int32_t baseline = y + face.Ascent;
  std::int32_t pen = x;
  // Advances are never negative: once the pen is that far right, no later glyph shows.
  const std::int32_t penLimit = Picture.Width() - face.MinLeft;
  for (std::size_t pos = 0; pos < Text.size() && pen < penLimit;) {
    const TGlyph& glyph = face.Glyph(NextCodePoint(Text, pos));
    DrawGlyph(Picture, pen + glyph.Left, baseline - glyph.Top, glyph.Width, glyph.Rows,
              face.Image(glyph), Color);
    pen += glyph.Advance;
  }
  if (Style.Underline) {
    const std::int32_t top = y + face.UnderlineTop;
    FillRect(Picture, {x, top, pen, top + face.UnderlineThickness}, Color);
  }
}

}  // namespace hillograph
