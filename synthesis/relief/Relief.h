// The relief passes: which points are water, and the pixel pass that colours, outlines the coast
// and shades every pixel of the picture.
#pragma once

#include <cstdint>

#include "synthesis/MapStyle.h"
#include "synthesis/memory/Grid.h"
#include "synthesis/parallel/WorkerTeam.h"
#include "synthesis/raster/Picture.h"
#include "synthesis/relief/ColorTable.h"
#include "synthesis/terrain/Plasma.h"

namespace hillograph {

// Water levels are heights: 0 (no water) .. 255 (all water).
inline constexpr std::int32_t MaxWaterLevel = 255;

// Writes every pixel of the Width x Height picture behind Lines. A land pixel is coast where a
// neighbour inside the picture is at most WaterLevel, that is water.
// The members of Team share the work when one is given; the picture is the same for any team.
void PaintRelief(const THeightField& Heights, std::int32_t WaterLevel,
                 const THeightColors& HeightColors, const TMapStyle& Style, const TScanLines& Lines,
                 TWorkerTeam* Team = nullptr);

// How many members of Team share a pass over Bands bands of rows holding Pixels pixels: no more
// than there are bands, and a member for every MinPixelsPerMember pixels; 1 without a team.
inline constexpr std::int64_t MinPixelsPerMember = 64 * 1024;
std::int32_t PixelPassMembers(const TWorkerTeam* Team, std::int32_t Bands, std::int64_t Pixels);

// The factor 0 .. 256 that darkens a land pixel for the steeper of its drops toward the right
// and toward the bottom, and each channel darkened by it.
std::uint32_t ShadeFactor(std::int32_t Drop, std::int32_t ShadowDivisor);
TColor Shade(TColor Color, std::uint32_t Factor);

}  // namespace hillograph
