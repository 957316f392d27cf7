// What a caller may ask of a render beyond the picture: the height field it was coloured from and
// the progress of the work.
#pragma once

#include "synthesis/base/Progress.h"
#include "synthesis/terrain/Plasma.h"

namespace hillograph {

struct TRenderExtras {
  // Receives the plasma's height field (heights 1 .. 255, addressed [x][y]) when given.
  THeightField* Heights = nullptr;
  // Told of each stage of the render when given.
  TProgress* Progress = nullptr;
};

}  // namespace hillograph
