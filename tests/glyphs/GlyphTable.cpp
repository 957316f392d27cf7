// Prints every glyph image FreeType draws for the labels, one line each: both faces, every code
// point from U+0020 to U+024F, every em from 8 to 40 pixels, loaded as the label font loads them.
// The same table must come out on every machine (scripts/check-cross compares them line by line);
// with --digest only the table's FNV-1a digest is printed, which the native tests pin.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_DRIVER_H
#include FT_MODULE_H

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>

#include "synthesis/raster/EmbeddedFonts.h"

namespace {

// As in synthesis/raster/LabelFont.cpp: interpreter 40, the faces' own hinting, grey levels.
constexpr FT_Int32 GlyphLoadFlags = FT_LOAD_TARGET_NORMAL | FT_LOAD_NO_AUTOHINT | FT_LOAD_NO_BITMAP;
constexpr FT_UInt FirstEm = 8;
constexpr FT_UInt LastEm = 40;
constexpr char32_t FirstCodePoint = 0x20;
constexpr char32_t LastCodePoint = 0x24F;

struct TFnv {
  std::uint64_t Hash = 14695981039346656037u;
  void Add(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i)
      Hash = (Hash ^ bytes[i]) * 1099511628211u;
  }
};

int Fail(const char* what, FT_Error error) {
  std::fprintf(stderr, "glyph-table: %s failed with FreeType error %d\n", what, error);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const bool digestOnly = argc == 2 && std::strcmp(argv[1], "--digest") == 0;
  FT_Library library = nullptr;
  if (const FT_Error error = FT_Init_FreeType(&library)) return Fail("FT_Init_FreeType", error);
  FT_UInt interpreter = TT_INTERPRETER_VERSION_40;
  if (const FT_Error error =
          FT_Property_Set(library, "truetype", "interpreter-version", &interpreter))
    return Fail("FT_Property_Set", error);
  const std::span<const std::uint8_t> faces[] = {hillograph::DejaVuSansFontData(),
                                                 hillograph::DejaVuSansObliqueFontData()};
  TFnv table;
  for (int f = 0; f < 2; ++f) {
    FT_Face face = nullptr;
    if (const FT_Error error = FT_New_Memory_Face(library, faces[f].data(),
                                                  static_cast<FT_Long>(faces[f].size()), 0, &face))
      return Fail("FT_New_Memory_Face", error);
    for (FT_UInt em = FirstEm; em <= LastEm; ++em) {
      if (const FT_Error error = FT_Set_Pixel_Sizes(face, 0, em))
        return Fail("FT_Set_Pixel_Sizes", error);
      for (char32_t c = FirstCodePoint; c <= LastCodePoint; ++c) {
        const FT_UInt index = FT_Get_Char_Index(face, c);
        std::string line = std::to_string(f) + " " + std::to_string(em) + " " +
                           std::to_string(static_cast<unsigned>(c));
        if (FT_Load_Glyph(face, index, GlyphLoadFlags) != 0 ||
            FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) {
          line += " failed\n";
        } else {
          const FT_GlyphSlot slot = face->glyph;
          const FT_Bitmap& bitmap = slot->bitmap;
          TFnv image;
          for (unsigned row = 0; row < bitmap.rows; ++row)
            image.Add(bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch,
                      bitmap.width);
          char text[160];
          std::snprintf(text, sizeof text, " %ld %d %d %u %u %d %016llx\n",
                        static_cast<long>(slot->advance.x), slot->bitmap_left, slot->bitmap_top,
                        bitmap.width, bitmap.rows, static_cast<int>(bitmap.pixel_mode),
                        static_cast<unsigned long long>(image.Hash));
          line += text;
        }
        table.Add(line.data(), line.size());
        if (!digestOnly) std::fputs(line.c_str(), stdout);
      }
    }
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
  if (digestOnly) std::printf("%016llx\n", static_cast<unsigned long long>(table.Hash));
  return 0;
}
