// The picture as an uncompressed 24-bit BMP file.
#pragma once

#include <string>

#include "synthesis/base/Progress.h"
#include "synthesis/raster/ByteSink.h"
#include "synthesis/raster/Picture.h"

namespace hillograph {

// The whole file: headers and the rows bottom-up, as BMP readers expect.
std::string EncodeBmp(const TPicture& Picture);

// Hands the same bytes to Sink, the rows as ranges of the picture itself. Reports "Writing" to
// Progress when given.
void WriteBmp(const TPicture& Picture, TByteSink& Sink, TProgress* Progress = nullptr);

}  // namespace hillograph
