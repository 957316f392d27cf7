// The font files built into the program: DejaVu Sans and DejaVu Sans Oblique.
#pragma once

#include <cstdint>
#include <span>

namespace hillograph {

std::span<const std::uint8_t> DejaVuSansFontData();
std::span<const std::uint8_t> DejaVuSansObliqueFontData();

}  // namespace hillograph
