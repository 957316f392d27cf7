#include "synthesis/raster/EmbeddedFonts.h"

namespace hillograph {
namespace {

// DejaVuSansBytes and DejaVuSansObliqueBytes: each file's bytes and a closing NUL, written at
// build time from resources/fonts by cmake/EmbedFiles.cmake.
#include "synthesis/raster/EmbeddedFontBytes.inc"

}  // namespace

std::span<const std::uint8_t> DejaVuSansFontData() {
  return {DejaVuSansBytes, sizeof DejaVuSansBytes - 1};
}

std::span<const std::uint8_t> DejaVuSansObliqueFontData() {
  return {DejaVuSansObliqueBytes, sizeof DejaVuSansObliqueBytes - 1};
}

}  // namespace hillograph
