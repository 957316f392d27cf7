// The town scan written out plainly, pixel by pixel along the rows: the oracle that the product's
// town pass must equal in the towns it places, their kinds, names and label sizes, and the draws
// it takes.
#pragma once

#include <cstdint>
#include <string>

#include "synthesis/random/Random.h"
#include "synthesis/raster/LabelFont.h"
#include "synthesis/relief/Relief.h"
#include "synthesis/towns/NameGen.h"
#include "synthesis/towns/Towns.h"

namespace hillograph::testing {

inline TTownList ScanTownsLiterally(const THeightField& heights, std::int32_t waterLevel,
                                    double density, TNameGen& names) {
  TTownList towns;
  std::int32_t y = 0;
  while (y < heights.Height()) {
    std::int32_t nextY = y + 1;
    std::int32_t x = 0;
    while (x < heights.Width()) {
      if (heights[x][y] <= waterLevel) {
        x = x + 1;
      } else if (Random() < density) {
        const std::int32_t kind = Random(4);
        const std::string name = names.NextName();
        const std::int32_t width = LabelTextWidth(name, TownStyles[kind]);
        const std::int32_t height = LabelTextHeight(TownStyles[kind]);
        towns.push_back({x, y, kind, name, width, height});
        x = x + width + 5 + Random(5);
        nextY = y + height + 5 + Random(5);
      } else {
        x = x + 1;
      }
    }
    y = nextY;
  }
  return towns;
}

}  // namespace hillograph::testing
