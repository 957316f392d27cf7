// The relief passes: which points are water, and the pixel pass that colours, outlines the coast
// and shades every pixel of the picture.
#pragma once

#include <cstdint>

#include "synthesis/ColorTable.h"
#include "synthesis/Grid.h"
#include "synthesis/MapStyle.h"
#include "synthesis/Picture.h"
#include "synthesis/Plasma.h"

namespace hillograph {

// 1 where the height is at most the water level, addressed [x][y] like the heights.
using TWaterMask = TGrid<std::uint8_t>;

TWaterMask BuildWaterMask(const THeightField& Heights, std::int32_t WaterLevel);

// Writes every pixel of the Width x Height picture behind Lines.
void PaintRelief(const THeightField& Heights, const TWaterMask& WaterMask, std::int32_t WaterLevel,
                 const THeightColors& HeightColors, const TMapStyle& Style,
                 const TScanLines& Lines);

// A land colour darkened for the steeper of the drops toward the right and toward the bottom.
TColor ShadeColor(TColor Color, std::int32_t Drop, std::int32_t ShadowDivisor);

}  // namespace hillograph
