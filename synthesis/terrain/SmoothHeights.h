// A 16-bit surface that keeps to the plasma's heights: every sample, scaled back to the map's
// levels, rounds to its cell's height, and inside that band the surface is as smooth as it can be.
//
// A height h stands for every sample s with round(s / 257) == h, the band h * 257 - 128 ..
// h * 257 + 128 (clamped to 0 .. 65535). 257 being odd, no sample lies halfway between two levels,
// so the rule for ties never matters, and the bands of neighbouring levels meet without a gap.
//
// Smooth here means bending little: the surface minimises the sum of its squared Laplacians (a thin
// plate's bending energy) with the bands as bounds. A surface that merely minimised its slopes
// would lie flat wherever the bands allow, and pressed against the band edges, whole patches of
// rough ground would hold one sample; a thin plate keeps the slope it has, so neighbours rarely
// meet.
//
// Projected Jacobi passes approach it: each pass moves every cell against the Laplacian of the
// Laplacian (the edge cells repeated beyond the border), all cells from the previous pass's values,
// and clamps it to its band. The passes run coarse to fine: the field is halved level by level down
// to one cell, each coarse cell's band being the mean of its cells' bands; the coarsest level
// starts at its bands' middles, and each finer level starts from the coarser one's result,
// interpolated bilinearly and clamped, then takes its own passes. Those settle what the coarse
// level could not resolve, with a Chebyshev cycle of step sizes that damps the rough patterns
// within a few passes.
//
// All of it is integer arithmetic on samples with 8 bits below the unit, rounded once at the end,
// and each pass reads only the previous one's result: the surface is the same bit for bit whatever
// the threads or the machine.
#pragma once

#include <algorithm>
#include <cstdint>

#include "synthesis/memory/Grid.h"
#include "synthesis/parallel/WorkerTeam.h"
#include "synthesis/terrain/Plasma.h"

namespace hillograph {

// Samples 0 .. MaxSmoothSample addressed [x][y], as the heights are.
using TSmoothHeightField = TGrid<std::uint16_t>;

inline constexpr std::int32_t MaxSmoothSample = 65535;
// A height h is the middle of its band at h * SmoothLevelScale, so that 255 is MaxSmoothSample.
inline constexpr std::int32_t SmoothLevelScale = 257;
// Samples up to this far from the middle round to h.
inline constexpr std::int32_t SmoothBandHalfWidth = SmoothLevelScale / 2;
static_assert(255 * SmoothLevelScale == MaxSmoothSample && SmoothLevelScale % 2 == 1);

// Every level takes cycles of SmoothCyclePasses passes, each pass with a step of its own. One cycle
// leaves the default map at 1000 x 1000 with about 1 % of equal neighbours, against 1.6 % for the
// surface fully settled: more cycles smooth it further, slowly (the benchmark measures them).
inline constexpr std::int32_t SmoothCyclePasses = 6;
inline constexpr std::int32_t DefaultSmoothCycles = 1;
inline constexpr std::int32_t MaxSmoothCycles = 1024;

// The lowest and the highest sample that round to Height (0 .. 255).
constexpr std::int32_t SmoothBandLow(std::int32_t Height) {
  return std::max(Height * SmoothLevelScale - SmoothBandHalfWidth, 0);
}
constexpr std::int32_t SmoothBandHigh(std::int32_t Height) {
  return std::min(Height * SmoothLevelScale + SmoothBandHalfWidth, MaxSmoothSample);
}

// The level a sample (0 .. MaxSmoothSample) rounds to: round(Sample / 257).
constexpr std::int32_t LevelOfSample(std::int32_t Sample) {
  return (Sample + SmoothBandHalfWidth) / SmoothLevelScale;
}

// The smooth surface of Heights, at least 1 x 1 and at most MaxPlasmaSide a side, after Cycles
// (1 .. MaxSmoothCycles) cycles on every level. The members of Team share the passes when one is
// given; the surface is the same for any team.
TSmoothHeightField SmoothHeights(const THeightField& Heights, TWorkerTeam* Team = nullptr,
                                 std::int32_t Cycles = DefaultSmoothCycles);

}  // namespace hillograph
