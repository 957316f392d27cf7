// The plasma's height field as a 16-bit grayscale heightmap, as terrain importers read them.
#pragma once

#include "synthesis/base/Progress.h"
#include "synthesis/raster/Png.h"
#include "synthesis/terrain/Plasma.h"

namespace hillograph {

// Every sample is the 8-bit height times HeightmapScale, so that 255 is 65535 (white).
inline constexpr int HeightmapScale = 257;

enum class THeightmapFormat {
  Png,  // 16-bit grayscale PNG
  Raw,  // 16-bit little-endian samples, rows from the top, no header
  Pgm,  // binary PGM (P5), maxval 65535, big-endian samples
};

// Hands the file's bytes to Sink in order. Heights is at least 1 x 1. Texts go into a PNG's text
// chunks; the other formats have no room for them.
void WriteHeightmap(const THeightField& Heights, THeightmapFormat Format, TByteSink& Sink,
                    TProgress* Progress = nullptr, std::span<const TPngText> Texts = {});

}  // namespace hillograph
