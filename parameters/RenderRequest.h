// The render request: the parameters turned into one call of GenerateMap, around a saved and
// restored generator state, so that a render leaves no trace in the program's random numbers.
#pragma once

#include "parameters/MapParameters.h"
#include "synthesis/Picture.h"

namespace hillograph {

// Sets RandSeed from the seed, assigns MapStyle, renders into Bitmap and puts RandSeed back on
// every exit, exceptions included.
void RenderMapParameters(TPicture& Bitmap, const TMapParameters& Params);

}  // namespace hillograph
