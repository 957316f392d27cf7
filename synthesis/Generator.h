// GenerateMap: one render, from the numbers to the finished picture.
#pragma once

#include <cstdint>
#include <string>

#include "synthesis/MapStyle.h"
#include "synthesis/RenderExtras.h"
#include "synthesis/raster/Picture.h"
#include "synthesis/towns/Towns.h"

namespace hillograph {

// The longest side of a map that can be drawn.
inline constexpr std::int32_t MaxMapSide = 16384;

// Draws the whole map into Bitmap, resizing it to Width x Height. Takes every random number from
// RandSeed and reads MapStyle. Width, Height and Diversity are 1 .. 1000, WaterLevel 0 .. 255,
// TownDensity 0 .. 1; TownDB names a file of town names or nothing. A town database that exists
// but cannot be read fails with TError before anything is drawn. Appends the towns placed to Towns
// when it is given, and fills what Extras asks for; a LabelScale outside 1 .. MaxLabelScale fails
// with TError before anything is drawn.
void GenerateMap(TPicture& Bitmap, std::int32_t Width, std::int32_t Height, std::int32_t Diversity,
                 std::int32_t WaterLevel, double TownDensity, const std::string& TownDB,
                 TTownList* Towns = nullptr, const TRenderExtras& Extras = {});

}  // namespace hillograph
