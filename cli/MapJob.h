// One map and the files it goes to: what a single run does, and what a batch does per seed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "parameters/MapParameters.h"
#include "synthesis/base/Progress.h"
#include "synthesis/files/StagedFiles.h"
#include "synthesis/parallel/WorkerTeam.h"
#include "synthesis/raster/Picture.h"
#include "synthesis/terrain/Plasma.h"

namespace hillograph {

struct TMapJob {
  TMapParameters Params;
  std::int32_t LabelScale = 1;
  std::string Picture;
  // Where the picture goes instead of the file Picture names (-o -), as BMP or PNG.
  std::ostream* PictureOut = nullptr;
  bool PictureOutPng = false;
  std::optional<std::string> Heightmap;
  bool SmoothHeightmap = false;  // the heightmap's samples smoothed within their levels
  std::optional<std::string> TownsJson;
  std::optional<std::string> SavePreset;
  bool Recipe = true;  // PNG files carry the map's recipe in their text chunks
};

// The job with RandSeed set to Seed and {seed} in every file name replaced by it.
TMapJob JobForSeed(const TMapJob& Job, std::int32_t Seed);

// Storage and threads a thread reuses from one map to the next, so that a batch does not fault
// in fresh memory nor start threads for every map. The render's team has Members members: one for
// a batch's job, which keeps the cores busy with maps; a single run's spins between its passes.
struct TMapScratch {
  explicit TMapScratch(std::int32_t Members = 1) : Team(Members, LongTeamSpin) {}
  TWorkerTeam Team;
  TPicture Picture;
  TPicture Relief;  // for a drawing
  THeightField Heights;
};

// How many files the job writes: the picture and each file asked for besides.
std::size_t FilesOf(const TMapJob& Job);

// Writes the preset, renders, then writes the picture, the heightmap and the towns, each staged
// in Files: none replaces its target until the caller commits them. Throws on the first failure
// (TError with the system's own message). The render runs on Scratch's team. When Parallel, the
// heightmap is written on a thread of its own; otherwise on the calling thread, as a batch, which
// keeps the cores busy with maps, asks.
void StageMapJob(const TMapJob& Job, TMapScratch& Scratch, bool Parallel, TStagedFiles& Files,
                 TProgress* Progress = nullptr);

// StageMapJob, then the commit: every file of the map replaces its target, or none does and the
// failure is thrown as TError "Cannot create file ...".
void RunMapJob(const TMapJob& Job, TMapScratch& Scratch, bool Parallel,
               TProgress* Progress = nullptr);

}  // namespace hillograph
