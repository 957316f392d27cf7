// The grid and frame overlays drawn over the relief.
#pragma once

#include <cstdint>

#include "synthesis/base/Color.h"
#include "synthesis/parallel/WorkerTeam.h"
#include "synthesis/raster/Canvas.h"
#include "synthesis/raster/Picture.h"

namespace hillograph {

// Moves each channel p half-way toward g, rounding toward p.
constexpr std::uint8_t BlendTowardGrid(std::uint8_t p, std::uint8_t g) {
  return static_cast<std::uint8_t>(p + (g - p) / 2);
}

// Blends the columns and rows at every multiple of GridSize (not 0) half-way toward GridColor;
// crossings are blended twice, column first. The members of Team share the rows when one is given.
void DrawGrid(const TScanLines& Lines, std::int32_t Width, std::int32_t Height, TColor GridColor,
              std::int32_t GridSize, TWorkerTeam* Team = nullptr);

// The one-pixel border around the whole picture.
void DrawFrame(TCanvas& Canvas, TColor MapFrameColor);

}  // namespace hillograph
