// One map and the files it goes to: what a single run does, and what a batch does per seed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "parameters/MapParameters.h"
#include "synthesis/base/Progress.h"
#include "synthesis/raster/Picture.h"
#include "synthesis/terrain/Plasma.h"

namespace hillograph {

struct TMapJob {
  TMapParameters Params;
  std::int32_t LabelScale = 1;
  std::string Picture;
  std::optional<std::string> Heightmap;
  std::optional<std::string> TownsJson;
  std::optional<std::string> SavePreset;
};

// The job with RandSeed set to Seed and {seed} in every file name replaced by it.
TMapJob JobForSeed(const TMapJob& Job, std::int32_t Seed);

// Storage a thread reuses from one map to the next, so that a batch does not fault in fresh
// memory for every map.
struct TMapScratch {
  TPicture Picture;
  TPicture Relief;  // for a drawing
  THeightField Heights;
};

// Writes the preset, renders, then writes the picture, the heightmap and the towns. Throws on
// the first failure (TError with the system's own message). When Parallel, the render uses every
// core and the heightmap is written on a thread of its own; otherwise the map is made on the
// calling thread alone, as a batch, which keeps the cores busy with maps, asks.
void RunMapJob(const TMapJob& Job, TMapScratch& Scratch, bool Parallel,
               TProgress* Progress = nullptr);

}  // namespace hillograph
