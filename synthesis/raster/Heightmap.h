// The plasma's height field as a 16-bit grayscale heightmap, as terrain importers read them.
#pragma once

#include "synthesis/base/Progress.h"
#include "synthesis/parallel/WorkerTeam.h"
#include "synthesis/raster/Png.h"
#include "synthesis/terrain/Plasma.h"
#include "synthesis/terrain/SmoothHeights.h"

namespace hillograph {

// Every sample is the 8-bit height times HeightmapScale, so that 255 is 65535 (white).
inline constexpr int HeightmapScale = 257;

enum class THeightmapFormat {
  Png,  // 16-bit grayscale PNG; smooth samples stored uncompressed (TPngCompression::Stored)
  Raw,  // 16-bit little-endian samples, rows from the top, no header
  Pgm,  // binary PGM (P5), maxval 65535, big-endian samples
};

// What the samples hold.
enum class THeightmapSamples {
  Levels,  // the heights times HeightmapScale: 256 levels, as the map was made
  Smooth,  // SmoothHeights: each sample still rounds to its height at that scale
};

// Hands the file's bytes to Sink in order. Heights is at least 1 x 1. Texts go into a PNG's text
// chunks; the other formats have no room for them.
void WriteHeightmap(const THeightField& Heights, THeightmapFormat Format, TByteSink& Sink,
                    TProgress* Progress = nullptr, std::span<const TPngText> Texts = {});
// The same with the samples as they are.
void WriteHeightmap(const TSmoothHeightField& Samples, THeightmapFormat Format, TByteSink& Sink,
                    TProgress* Progress = nullptr, std::span<const TPngText> Texts = {});
// The heights' samples of the kind asked for; the members of Team, when given, share the
// smoothing, whose result does not depend on them.
void WriteHeightmap(const THeightField& Heights, THeightmapFormat Format, THeightmapSamples Kind,
                    TByteSink& Sink, TProgress* Progress = nullptr, TWorkerTeam* Team = nullptr,
                    std::span<const TPngText> Texts = {});

}  // namespace hillograph
