#include "synthesis/raster/EmbeddedFonts.h"

// Laid down by EmbeddedFonts.S: each file's bytes between a start and an end label.
extern "C" {
extern const std::uint8_t hillograph_dejavu_sans[];
extern const std::uint8_t hillograph_dejavu_sans_end[];
extern const std::uint8_t hillograph_dejavu_sans_oblique[];
extern const std::uint8_t hillograph_dejavu_sans_oblique_end[];
}

namespace hillograph {

std::span<const std::uint8_t> DejaVuSansFontData() {
  return {hillograph_dejavu_sans, hillograph_dejavu_sans_end};
}

std::span<const std::uint8_t> DejaVuSansObliqueFontData() {
  return {hillograph_dejavu_sans_oblique, hillograph_dejavu_sans_oblique_end};
}

}  // namespace hillograph
