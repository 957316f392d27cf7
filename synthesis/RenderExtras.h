// What a caller may ask of a render beyond the picture: the height field it was coloured from and
// the progress of the work.
#pragma once

#include <cstdint>
#include <functional>

#include "synthesis/base/Progress.h"
#include "synthesis/parallel/WorkerTeam.h"
#include "synthesis/raster/LabelFont.h"
#include "synthesis/raster/Picture.h"
#include "synthesis/terrain/Plasma.h"

namespace hillograph {

// Labels may be drawn this many times larger at most.
inline constexpr std::int32_t MaxLabelScale = MaxLabelFontScale;

struct TRenderExtras {
  // Receives the plasma's height field (heights 1 .. 255, addressed [x][y]) when given.
  THeightField* Heights = nullptr;
  // Receives a copy of the picture when the relief and its coast are painted, before the grid,
  // the towns and the frame, when given.
  TPicture* Relief = nullptr;
  // Told of each stage of the render when given.
  TProgress* Progress = nullptr;
  // Town markers, label text, the label offsets and the gaps after each town are drawn this many
  // times larger (1 .. MaxLabelScale), so that names stay legible on a print; 1 is the map as the
  // window shows it.
  std::int32_t LabelScale = 1;
  // The team whose members share the render's passes when given; without one the render runs on
  // the calling thread alone. It stays the caller's, kept from render to render, and is resting
  // with no pass running when the render returns or fails. The picture is the same for any team.
  TWorkerTeam* Team = nullptr;
  // Called as soon as *Heights is complete, before the picture is coloured, so that a caller can
  // start on the field on a thread of its own while the render goes on with one member of Team
  // fewer; the field does not change after it. Needs Heights.
  std::function<void()> HeightsDone = nullptr;
};

}  // namespace hillograph
