// Colours as 0x00BBGGRR: red in the low byte, then green, then blue.
#pragma once

#include <cstdint>

namespace hillograph {

using TColor = std::uint32_t;

constexpr TColor RGB(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}
constexpr std::uint8_t RedOf(TColor c) {
  return static_cast<std::uint8_t>(c);
}
constexpr std::uint8_t GreenOf(TColor c) {
  return static_cast<std::uint8_t>(c >> 8);
}
constexpr std::uint8_t BlueOf(TColor c) {
  return static_cast<std::uint8_t>(c >> 16);
}

}  // namespace hillograph
