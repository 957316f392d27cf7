// The terrain: an 8-bit height field made by depth-first midpoint displacement over rectangles.
#pragma once

#include <cstdint>

#include "synthesis/memory/Grid.h"
#include "synthesis/parallel/WorkerTeam.h"
#include "synthesis/terrain/PlasmaPlan.h"

namespace hillograph {

// Heights 1 .. 255 addressed [x][y].
using THeightField = TGrid<std::uint8_t>;

// Corner heights are 1 .. 255; every other cell 1 .. MaxDisplacedHeight.
inline constexpr std::int32_t CornerHeightRange = 255;
inline constexpr std::int32_t MinDisplacedHeight = 1;
inline constexpr std::int32_t MaxDisplacedHeight = 250;

// The longest side of a field; its depths stay below 16, the bits of a drawn magnitude.
inline constexpr std::int32_t MaxPlasmaSide = 16384;

// Fields of fewer cells are made on one thread whatever the team: a second thread costs more than
// it saves.
inline constexpr std::int64_t MinSplitCells = 1 << 17;

class TPlasmaFractal {
 public:
  // Builds the whole field, drawing from RandSeed. Width and Height are 1 .. MaxPlasmaSide and
  // Diversity 0 .. MaxDiversity (32768). Two members of Team share the work when one is given;
  // Plan, when given, is replayed instead of the recursion and must be the plan for Width x
  // Height. The heights and the draws are the same for any team and with or without a plan.
  TPlasmaFractal(std::int32_t Width, std::int32_t Height, std::int32_t Diversity,
                 TWorkerTeam* Team = nullptr, const TPlasmaPlan* Plan = nullptr);

  std::int32_t Width;
  std::int32_t Height;
  THeightField Heights;
};

}  // namespace hillograph
