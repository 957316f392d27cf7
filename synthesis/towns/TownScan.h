// The search of the town scan: which land pixel of a row is the next to hold a town. A land pixel
// holds one when its Random() falls below the density, that is when the generator state of its
// draw lies below the density times 2^32; the states are made ahead in independent lanes instead
// of one dependent step after another, and rows are counted, not walked, until a town turns up.
#pragma once

#include <cstdint>
#include <vector>

#include "synthesis/terrain/Plasma.h"

namespace hillograph {

class TTownScan {
 public:
  // Land is where the height is above WaterLevel.
  TTownScan(const THeightField& Heights, std::int32_t WaterLevel, double TownDensity);

  // The first land pixel of row y at or after column x whose draw places a town, with RandSeed
  // left at the state of that draw, as Random() would; or -1 when there is none, with RandSeed
  // advanced by one step for every land pixel from x to the end of the row. Within a row, x only
  // grows from call to call.
  std::int32_t NextTown(std::int32_t x, std::int32_t y);

 private:
  bool IsLand(std::int32_t x, std::int32_t y) const { return heights_[x][y] > level_; }

  const THeightField& heights_;
  std::int32_t level_;
  std::uint64_t threshold_;         // a state below it places a town
  std::vector<std::int32_t> land_;  // land pixels per row
  std::int32_t row_ = -1;           // the row being scanned,
  std::int32_t column_ = 0;         // the first column of it not yet passed,
  std::int32_t left_ = 0;           // and the land pixels from there to its end
};

}  // namespace hillograph
