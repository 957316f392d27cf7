// The render request: the parameters turned into one call of GenerateMap, around a saved and
// restored generator state, so that a render leaves no trace in the program's random numbers.
#pragma once

#include "parameters/MapParameters.h"
#include "synthesis/RenderExtras.h"
#include "synthesis/raster/Picture.h"
#include "synthesis/towns/Towns.h"

namespace hillograph {

// Sets RandSeed from the seed, assigns MapStyle, renders into Bitmap and puts RandSeed back on
// every exit, exceptions included. Appends the towns placed to Towns when it is given, and fills
// what Extras asks for.
void RenderMapParameters(TPicture& Bitmap, const TMapParameters& Params, TTownList* Towns = nullptr,
                         const TRenderExtras& Extras = {});

}  // namespace hillograph
