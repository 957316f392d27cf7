// Every colour the pixel pass can write, for one render: by height and by what the pixel's
// neighbours make of it (water, coast, or land shaded by its drop). The pixel pass then needs
// one look-up per pixel and no arithmetic on colours.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "synthesis/MapStyle.h"
#include "synthesis/relief/ColorTable.h"

namespace hillograph {

// Pixel bytes blue, green, red in the low three bytes, as they lie in the picture.
using TPixelBytes = std::uint32_t;

class TReliefPalette {
 public:
  TReliefPalette(const THeightColors& HeightColors, std::int32_t WaterLevel,
                 const TMapStyle& Style);

  // Codes of a pixel: water pixels take 0; land pixels take their drop, cut at MaxDrop (from
  // there on every drop is black or, for large divisors, each drop has its own code), or
  // CoastCode. Codes are below 256, and so are heights: an entry index fits 16 bits.
  std::uint8_t MaxDrop() const { return maxDrop_; }
  std::uint8_t CoastCode() const { return static_cast<std::uint8_t>(maxDrop_ + 1); }
  std::uint16_t CodesPerHeight() const { return static_cast<std::uint16_t>(maxDrop_ + 2); }

  std::uint16_t Index(std::uint8_t Height, std::uint8_t Code) const {
    return static_cast<std::uint16_t>(Height * CodesPerHeight() + Code);
  }
  // The entries by index: read through this pointer, since writes to the picture's bytes could
  // otherwise be taken to change the palette.
  const TPixelBytes* Entries() const { return entries_.data(); }

 private:
  std::uint8_t maxDrop_;
  std::vector<TPixelBytes> entries_;
};

}  // namespace hillograph
