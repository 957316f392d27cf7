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
// RandSeed and reads MapStyle. Width and Height are 1 .. MaxMapSide, Diversity 0 .. 32768,
// WaterLevel 0 .. 255, TownDensity 0 .. 1, MapStyle's GridSize and ShadowDivisor at least 1; any
// other value fails with TError naming it and its range before anything is read or drawn. TownDB
// names a file of town names or nothing. A town database that exists but cannot be read fails
// with TError before anything is drawn, and so does a map whose memory cannot be had ("Out of
// memory"). Appends the towns placed to Towns when it is given, and fills what Extras asks for;
// its LabelScale is 1 .. MaxLabelScale.
void GenerateMap(TPicture& Bitmap, std::int32_t Width, std::int32_t Height, std::int32_t Diversity,
                 std::int32_t WaterLevel, double TownDensity, const std::string& TownDB,
                 TTownList* Towns = nullptr, const TRenderExtras& Extras = {});

}  // namespace hillograph
