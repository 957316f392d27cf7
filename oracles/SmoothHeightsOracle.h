// The smooth surface written the plainest way, one cell at a time with every neighbour looked up
// through a clamped index: the oracle that the product's surface must equal sample for sample.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "synthesis/terrain/SmoothHeights.h"

namespace hillograph::testing {

class TSmoothHeightsOracle {
 public:
  TSmoothHeightsOracle(const THeightField& heights, std::int32_t cycles) {
    // The steps of a cycle: 1 / lambda for the Chebyshev nodes lambda of 4 .. 64, in 1024ths,
    // the smallest lambda first, then the largest, the next smallest, and so on.
    constexpr double pi = 3.14159265358979323846;
    std::vector<std::int32_t> weights;
    for (const int node : {5, 0, 4, 1, 3, 2}) {
      const double lambda = 34 + 30 * std::cos(pi * (2 * node + 1) / 12);
      weights.push_back(static_cast<std::int32_t>(std::lround(1024 / lambda)));
    }
    // Level 0 is the map; each further level halves it, down to a single cell.
    TLevel finest{heights.Width(), heights.Height(), {}};
    for (std::int32_t x = 0; x < finest.width; ++x) {
      for (std::int32_t y = 0; y < finest.height; ++y)
        finest.middles.push_back(heights[x][y] * 257 * 256);
    }
    levels_.push_back(finest);
    while (levels_.back().width > 1 || levels_.back().height > 1) {
      const TLevel& fine = levels_.back();
      TLevel coarse{(fine.width + 1) / 2, (fine.height + 1) / 2, {}};
      for (std::int32_t x = 0; x < coarse.width; ++x) {
        for (std::int32_t y = 0; y < coarse.height; ++y) {
          const std::int32_t sum = fine.Middle(2 * x, 2 * y) + fine.Middle(2 * x, 2 * y + 1) +
                                   fine.Middle(2 * x + 1, 2 * y) +
                                   fine.Middle(2 * x + 1, 2 * y + 1);
          coarse.middles.push_back((sum + 2) / 4);
        }
      }
      levels_.push_back(coarse);
    }

    std::vector<std::int32_t> values = levels_.back().middles;
    for (std::size_t level = levels_.size(); level-- > 0;) {
      const TLevel& here = levels_[level];
      if (level + 1 < levels_.size()) values = Refined(levels_[level + 1], values, here);
      for (std::int32_t pass = 0; pass < cycles * 6; ++pass)
        values = Smoothed(here, values, weights[pass % 6]);
    }
    Samples = TSmoothHeightField(heights.Width(), heights.Height());
    for (std::int32_t x = 0; x < finest.width; ++x) {
      for (std::int32_t y = 0; y < finest.height; ++y)
        Samples[x][y] = static_cast<std::uint16_t>((values[finest.Index(x, y)] + 128) / 256);
    }
  }

  TSmoothHeightField Samples;

 private:
  struct TLevel {
    std::int32_t width;
    std::int32_t height;
    std::vector<std::int32_t> middles;  // fixed point, 8 bits below the sample

    std::size_t Index(std::int32_t x, std::int32_t y) const {
      x = std::clamp(x, 0, width - 1);
      y = std::clamp(y, 0, height - 1);
      return static_cast<std::size_t>(x) * static_cast<std::size_t>(height) +
             static_cast<std::size_t>(y);
    }
    std::int32_t Middle(std::int32_t x, std::int32_t y) const { return middles[Index(x, y)]; }
    std::int32_t InBand(std::int32_t value, std::int32_t x, std::int32_t y) const {
      const std::int32_t low = std::max(Middle(x, y) - 128 * 256, 0);
      const std::int32_t high = std::min(Middle(x, y) + 128 * 256, 65535 * 256);
      return std::clamp(value, low, high);
    }
  };

  // The 4-neighbour Laplacian, the edge cells repeated beyond the border.
  static std::vector<std::int32_t> Laplacian(const TLevel& level,
                                             const std::vector<std::int32_t>& values) {
    std::vector<std::int32_t> out(values.size());
    for (std::int32_t x = 0; x < level.width; ++x) {
      for (std::int32_t y = 0; y < level.height; ++y) {
        out[level.Index(x, y)] = values[level.Index(x - 1, y)] + values[level.Index(x + 1, y)] +
                                 values[level.Index(x, y - 1)] + values[level.Index(x, y + 1)] -
                                 4 * values[level.Index(x, y)];
      }
    }
    return out;
  }

  // One pass: each cell less weight / 1024 of the Laplacian of the Laplacian, taken to whole
  // samples first, clamped to its band.
  static std::vector<std::int32_t> Smoothed(const TLevel& level,
                                            const std::vector<std::int32_t>& values,
                                            std::int32_t weight) {
    const std::vector<std::int32_t> bend = Laplacian(level, Laplacian(level, values));
    std::vector<std::int32_t> out(values.size());
    for (std::int32_t x = 0; x < level.width; ++x) {
      for (std::int32_t y = 0; y < level.height; ++y) {
        const std::size_t i = level.Index(x, y);
        // Exact in doubles: far below 2^53, and the divisors are powers of 2.
        const double samples = std::floor((bend[i] + 32.0) / 64);
        const auto step = static_cast<std::int32_t>(std::floor((samples * weight + 8) / 16));
        out[i] = level.InBand(values[i] - step, x, y);
      }
    }
    return out;
  }

  static std::vector<std::int32_t> Refined(const TLevel& coarse,
                                           const std::vector<std::int32_t>& values,
                                           const TLevel& fine) {
    std::vector<std::int32_t> out(fine.middles.size());
    for (std::int32_t x = 0; x < fine.width; ++x) {
      for (std::int32_t y = 0; y < fine.height; ++y) {
        // The nearest coarse cell weighs 3, the next one towards this cell 1, on each axis.
        const std::int32_t nx = x / 2;
        const std::int32_t ny = y / 2;
        const std::int32_t fx = x % 2 == 0 ? nx - 1 : nx + 1;
        const std::int32_t fy = y % 2 == 0 ? ny - 1 : ny + 1;
        const std::int32_t sum = 9 * values[coarse.Index(nx, ny)] +
                                 3 * values[coarse.Index(nx, fy)] +
                                 3 * values[coarse.Index(fx, ny)] + values[coarse.Index(fx, fy)];
        out[fine.Index(x, y)] = fine.InBand((sum + 8) / 16, x, y);
      }
    }
    return out;
  }

  std::vector<TLevel> levels_;
};

}  // namespace hillograph::testing
