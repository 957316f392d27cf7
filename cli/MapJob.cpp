#include "cli/MapJob.h"

#include <future>

#include "cli/OptionValues.h"
#include "cli/TownsJson.h"
#include "parameters/Preset.h"
#include "parameters/RenderRequest.h"
#include "synthesis/files/PictureFile.h"

namespace hillograph {
namespace {

std::optional<std::string> Expanded(const std::optional<std::string>& name, std::int32_t seed) {
  if (!name) return std::nullopt;
  return ExpandSeed(*name, seed);
}

}  // namespace

TMapJob JobForSeed(const TMapJob& Job, std::int32_t Seed) {
  TMapJob job = Job;
  job.Params.RandSeed = Seed;
  job.Picture = ExpandSeed(Job.Picture, Seed);
  job.Heightmap = Expanded(Job.Heightmap, Seed);
  job.TownsJson = Expanded(Job.TownsJson, Seed);
  job.SavePreset = Expanded(Job.SavePreset, Seed);
  return job;
}

void RunMapJob(const TMapJob& Job, TMapScratch& Scratch, bool Parallel, TProgress* Progress) {
  if (Job.SavePreset) WritePreset(*Job.SavePreset, Job.Params);
  // The towns are kept only when asked for: each holds a copy of its name, and a town database
  // may hold names of millions of letters.
  TTownList towns;
  TRenderExtras extras;
  extras.Heights = Job.Heightmap ? &Scratch.Heights : nullptr;
  extras.Progress = Progress;
  extras.LabelScale = Job.LabelScale;
  extras.Threads = Parallel ? 0 : 1;
  const auto saveHeightmap = [&Job, &Scratch](TProgress* progress) {
    // The format was checked with the command line.
    SaveHeightmapFile(Scratch.Heights, *HeightmapFormatOf(*Job.Heightmap), *Job.Heightmap,
                      progress);
  };
  // Encoded on a second core from the moment the field is complete, beside the rest of the
  // render and the picture's file. Its thread starts with the render and waits for the field, so
  // that it is already running on the other core then. Its progress would only interleave with
  // the picture's.
  std::promise<bool> fieldDone;
  bool told = false;
  const auto tell = [&fieldDone, &told](bool done) {
    if (!told) fieldDone.set_value(done);
    told = true;
  };
  std::future<void> heightmap;
  if (Job.Heightmap && Parallel) {
    heightmap =
        std::async(std::launch::async, [&saveHeightmap, done = fieldDone.get_future()]() mutable {
          if (done.get()) saveHeightmap(nullptr);
        });
    extras.HeightsDone = [&tell] { tell(true); };
  }
  try {
    RenderMapParameters(Scratch.Picture, Job.Params, Job.TownsJson ? &towns : nullptr, extras);
    SavePictureFile(Scratch.Picture, Job.Picture, Progress);
  } catch (...) {
    if (heightmap.valid()) {
      tell(false);
      heightmap.wait();
    }
    throw;
  }
  if (heightmap.valid()) {
    heightmap.get();
  } else if (Job.Heightmap) {
    saveHeightmap(Progress);
  }
  if (Job.TownsJson) {
    SaveTownsJson(*Job.TownsJson, Scratch.Picture.Width(), Scratch.Picture.Height(), towns);
  }
}

}  // namespace hillograph
