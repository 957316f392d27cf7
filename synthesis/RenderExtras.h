// What a caller may ask of a render beyond the picture: the height field it was coloured from and
// the progress of the work.
#pragma once

#include <cstdint>

#include "synthesis/base/Progress.h"
#include "synthesis/terrain/Plasma.h"

namespace hillograph {

struct TRenderExtras {
  // Receives the plasma's height field (heights 1 .. 255, addressed [x][y]) when given.
  THeightField* Heights = nullptr;
  // Told of each stage of the render when given.
  TProgress* Progress = nullptr;
  // How many threads the pixel pass may use: 0 for one per processor. A caller that renders
  // several maps side by side gives 1. The picture is the same for any number.
  std::int32_t Threads = 0;
};

}  // namespace hillograph
