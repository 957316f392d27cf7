// The terrain: an 8-bit height field made by depth-first midpoint displacement over rectangles.
#pragma once

#include <cstdint>

#include "synthesis/base/Grid.h"

namespace hillograph {

// Heights 1 .. 255 addressed [x][y].
using THeightField = TGrid<std::uint8_t>;

// Corner heights are 1 .. 255; every other cell 1 .. MaxDisplacedHeight.
inline constexpr std::int32_t CornerHeightRange = 255;
inline constexpr std::int32_t MinDisplacedHeight = 1;
inline constexpr std::int32_t MaxDisplacedHeight = 250;

// The longest side of a field; its depths stay below 16, the bits of a drawn magnitude.
inline constexpr std::int32_t MaxPlasmaSide = 16384;

// As many threads as the relief pass takes; the field uses two at most.
inline constexpr std::int32_t MaxPlasmaThreads = 256;

class TPlasmaFractal {
 public:
  // Builds the whole field, drawing from RandSeed. Width and Height are 1 .. MaxPlasmaSide,
  // Diversity 0 .. MaxDiversity (32768) and Threads 1 .. MaxPlasmaThreads. The heights and the
  // draws are the same for any number of threads.
  TPlasmaFractal(std::int32_t Width, std::int32_t Height, std::int32_t Diversity,
                 std::int32_t Threads = 1);

  std::int32_t Width;
  std::int32_t Height;
  THeightField Heights;
};

}  // namespace hillograph
