// The figures that tell a terraced heightmap from a smooth one, for the tests and the benchmark.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "synthesis/terrain/SmoothHeights.h"

namespace hillograph::testing {

struct TSurfaceFigures {
  std::int64_t DistinctValues = 0;
  // Pairs of side-by-side or one-above-the-other cells that hold the same sample, and all pairs.
  std::int64_t EqualNeighbours = 0;
  std::int64_t Neighbours = 0;
  std::int32_t LargestStep = 0;  // between such neighbours, in samples

  double EqualShare() const {
    return Neighbours == 0 ? 0 : static_cast<double>(EqualNeighbours) / Neighbours;
  }
};

inline TSurfaceFigures MeasureSurface(const TSmoothHeightField& samples) {
  TSurfaceFigures figures;
  std::vector<bool> seen(MaxSmoothSample + 1);
  const auto pair = [&figures](std::int32_t a, std::int32_t b) {
    ++figures.Neighbours;
    if (a == b) ++figures.EqualNeighbours;
    figures.LargestStep = std::max(figures.LargestStep, a > b ? a - b : b - a);
  };
  for (std::int32_t x = 0; x < samples.Width(); ++x) {
    for (std::int32_t y = 0; y < samples.Height(); ++y) {
      if (!seen[samples[x][y]]) ++figures.DistinctValues;
      seen[samples[x][y]] = true;
      if (x + 1 < samples.Width()) pair(samples[x][y], samples[x + 1][y]);
      if (y + 1 < samples.Height()) pair(samples[x][y], samples[x][y + 1]);
    }
  }
  return figures;
}

// The heightmap as written without smoothing: every height times 257.
inline TSmoothHeightField PlainSamples(const THeightField& heights) {
  TSmoothHeightField samples(heights.Width(), heights.Height());
  for (std::int32_t x = 0; x < heights.Width(); ++x) {
    for (std::int32_t y = 0; y < heights.Height(); ++y)
      samples[x][y] = static_cast<std::uint16_t>(heights[x][y] * SmoothLevelScale);
  }
  return samples;
}

// Cells whose sample does not round back to their height.
inline std::int64_t CellsOffTheirHeight(const THeightField& heights,
                                        const TSmoothHeightField& samples) {
  std::int64_t off = 0;
  for (std::int32_t x = 0; x < heights.Width(); ++x) {
    for (std::int32_t y = 0; y < heights.Height(); ++y)
      off += LevelOfSample(samples[x][y]) != heights[x][y];
  }
  return off;
}

}  // namespace hillograph::testing
