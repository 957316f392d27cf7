// Every label glyph image FreeType draws (both faces, U+0020..U+024F, 8..40 px), a line each, to
// compare between machines (scripts/check-cross); --digest prints only the table's FNV-1a digest.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_DRIVER_H
#include FT_MODULE_H

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "synthesis/raster/EmbeddedFonts.h"

namespace {

// As in synthesis/raster/LabelFont.cpp: interpreter 40, the faces' own hinting, grey levels.
constexpr FT_Int32 GlyphLoadFlags = FT_LOAD_TARGET_NORMAL | FT_LOAD_NO_AUTOHINT | FT_LOAD_NO_BITMAP;
constexpr FT_UInt FirstEm = 8, LastEm = 40;
constexpr char32_t FirstCodePoint = 0x20, LastCodePoint = 0x24F;

std::uint64_t Fnv(const unsigned char* bytes, std::size_t size,
                  std::uint64_t hash = 14695981039346656037u) {
  for (std::size_t i = 0; i < size; ++i)
    hash = (hash ^ bytes[i]) * 1099511628211u;
  return hash;
}

}  // namespace

int main(int argc, char** argv) {
  const bool digestOnly = argc == 2 && std::string(argv[1]) == "--digest";
  FT_Library library = nullptr;
  FT_UInt interpreter = TT_INTERPRETER_VERSION_40;
  if (FT_Init_FreeType(&library) != 0 ||
      FT_Property_Set(library, "truetype", "interpreter-version", &interpreter) != 0)
    return std::fputs("glyph-table: FreeType failed to start\n", stderr), 1;
  const std::span<const std::uint8_t> faces[] = {hillograph::DejaVuSansFontData(),
                                                 hillograph::DejaVuSansObliqueFontData()};
  std::uint64_t table = Fnv(nullptr, 0);
  for (int f = 0; f < 2; ++f) {
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(library, faces[f].data(), static_cast<FT_Long>(faces[f].size()), 0,
                           &face) != 0)
      return std::fputs("glyph-table: a face failed to load\n", stderr), 1;
    for (FT_UInt em = FirstEm; em <= LastEm; ++em) {
      FT_Set_Pixel_Sizes(face, 0, em);  // cannot fail for a scalable face
      for (char32_t c = FirstCodePoint; c <= LastCodePoint; ++c) {
        std::string line = std::to_string(f) + " " + std::to_string(em) + " " +
                           std::to_string(static_cast<unsigned>(c));
        if (FT_Load_Glyph(face, FT_Get_Char_Index(face, c), GlyphLoadFlags) != 0 ||
            FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) {
          line += " failed\n";
        } else {
          const FT_GlyphSlot slot = face->glyph;
          const FT_Bitmap& bitmap = slot->bitmap;
          std::uint64_t image = Fnv(nullptr, 0);
          for (unsigned row = 0; row < bitmap.rows; ++row)
            image = Fnv(bitmap.buffer + std::ptrdiff_t(row) * bitmap.pitch, bitmap.width, image);
          char text[160];
          std::snprintf(text, sizeof text, " %ld %d %d %u %u %d %016llx\n",
                        static_cast<long>(slot->advance.x), slot->bitmap_left, slot->bitmap_top,
                        bitmap.width, bitmap.rows, static_cast<int>(bitmap.pixel_mode),
                        static_cast<unsigned long long>(image));
          line += text;
        }
        table = Fnv(reinterpret_cast<const unsigned char*>(line.data()), line.size(), table);
        if (!digestOnly) std::fputs(line.c_str(), stdout);
      }
    }
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
  if (digestOnly) std::printf("%016llx\n", static_cast<unsigned long long>(table));
  return 0;
}
