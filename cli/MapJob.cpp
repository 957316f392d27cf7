#include "cli/MapJob.h"

#include <exception>
#include <ostream>
#include <span>
#include <system_error>
#include <vector>

#include "cli/OptionValues.h"
#include "cli/StopSignals.h"
#include "parameters/PictureRecipe.h"
#include "parameters/Preset.h"
#include "parameters/RenderRequest.h"
#include "parameters/TownsJson.h"
#include "synthesis/base/Error.h"
#include "synthesis/files/OutputFile.h"
#include "synthesis/files/PictureFile.h"
#include "synthesis/parallel/PlacedThread.h"
#include "synthesis/raster/Bmp.h"
#include "synthesis/raster/Png.h"

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

std::size_t FilesOf(const TMapJob& Job) {
  return 1 + Job.Heightmap.has_value() + Job.TownsJson.has_value() + Job.SavePreset.has_value();
}

namespace {

// Hands the bytes on to a stream: standard output.
class TStreamSink final : public TByteSink {
 public:
  explicit TStreamSink(std::ostream& Out) : out_(Out) {}
  using TByteSink::Write;
  void Write(TByteRange Bytes) override {
    out_.write(reinterpret_cast<const char*>(Bytes.data()),
               static_cast<std::streamsize>(Bytes.size()));
    if (!out_) throw TError("Cannot write the picture to standard output");
  }

 private:
  std::ostream& out_;
};

void WritePictureTo(std::ostream& Out, const TPicture& Picture, bool Png,
                    std::span<const TPngText> Recipe, TProgress* Progress) {
  TStreamSink sink(Out);
  if (Png) {
    WritePicturePng(Picture, sink, Progress, Recipe);
  } else {
    WriteBmp(Picture, sink, Progress);
  }
  if (!Out.flush()) throw TError("Cannot write the picture to standard output");
}

}  // namespace

void RunMapJob(const TMapJob& Job, TMapScratch& Scratch, bool Parallel, TProgress* Progress) {
  // Each file is synced as soon as it is written, on the thread that wrote it.
  TStagedFiles files(0, true);
  StageMapJob(Job, Scratch, Parallel, files, Progress);
  ThrowIfStopped();  // asked to stop while the last file was written: the targets stay
  TStagedFiles* const sets[] = {&files};
  const std::vector<TCommitFailure> failures = CommitTogether(sets);
  if (!failures.empty()) {
    const TCommitFailure& failure = failures.front();
    throw TError(
        CannotCreateFileMessage(failure.FileName, std::generic_category().message(failure.Error)));
  }
}

void StageMapJob(const TMapJob& Job, TMapScratch& Scratch, bool Parallel, TStagedFiles& Files,
                 TProgress* Progress) {
  const TStagedFiles::TScope staging(Files);
  if (Job.SavePreset) WritePreset(*Job.SavePreset, Job.Params);
  // The heightmap's recipe says whether its samples were smoothed; the picture's never does.
  std::vector<TPngText> recipe, heightmapRecipe;
  if (Job.Recipe) {
    recipe = RecipeTexts({Job.Params, Job.LabelScale}, HILLOGRAPH_VERSION);
    if (Job.Heightmap)
      heightmapRecipe =
          RecipeTexts({Job.Params, Job.LabelScale, Job.SmoothHeightmap}, HILLOGRAPH_VERSION);
  }
  // The towns are kept only when asked for: each holds a copy of its name, and a town database
  // may hold names of millions of letters.
  TTownList towns;
  const bool drawing = IsSvgFileName(Job.Picture);
  const bool keepTowns = Job.TownsJson || drawing;
  TRenderExtras extras;
  extras.Relief = drawing ? &Scratch.Relief : nullptr;
  extras.Heights = Job.Heightmap ? &Scratch.Heights : nullptr;
  extras.Progress = Progress;
  extras.LabelScale = Job.LabelScale;
  extras.Team = &Scratch.Team;
  const auto saveHeightmap = [&Job, &Scratch, &Files, &heightmapRecipe](TProgress* progress) {
    const TStagedFiles::TScope staging(Files);
    // The format was checked with the command line.
    SaveHeightmapFile(Scratch.Heights, *HeightmapFormatOf(*Job.Heightmap), *Job.Heightmap, progress,
                      Job.SmoothHeightmap ? THeightmapSamples::Smooth : THeightmapSamples::Levels,
                      nullptr, heightmapRecipe);
  };
  // Encoded on another core from the moment the field is complete, beside the rest of the render
  // and the picture's file; its progress would only interleave with the picture's. Where no
  // thread can be started, it is written after the picture.
  std::exception_ptr heightmapError;
  TPlacedThread heightmap;
  if (Job.Heightmap && Parallel) {
    extras.HeightsDone = [&] {
      try {
        heightmap = TPlacedThread([&saveHeightmap, &heightmapError] {
          try {
            saveHeightmap(nullptr);
          } catch (...) {
            heightmapError = std::current_exception();
          }
        });
      } catch (const std::system_error&) {
        // Not started: written after the picture instead.
      }
    };
  }
  // A failure of the render or of the picture waits for the heightmap's thread as it goes.
  RenderMapParameters(Scratch.Picture, Job.Params, keepTowns ? &towns : nullptr, extras);
  TMapLayers layers;
  layers.Relief = &Scratch.Relief;
  layers.Style = MapStyleOf(Job.Params);
  layers.Towns = &towns;
  layers.LabelScale = Job.LabelScale;
  layers.MetadataXml = RecipeMetadataXml(recipe);
  if (Job.PictureOut != nullptr) {
    WritePictureTo(*Job.PictureOut, Scratch.Picture, Job.PictureOutPng, recipe, Progress);
  } else {
    SavePictureFile(Scratch.Picture, Job.Picture, Progress, drawing ? &layers : nullptr, recipe);
  }
  if (heightmap.Started()) {
    heightmap.Join();
    if (heightmapError) std::rethrow_exception(heightmapError);
  } else if (Job.Heightmap) {
    saveHeightmap(Progress);
  }
  if (Job.TownsJson) {
    SaveTownsJson(*Job.TownsJson, Scratch.Picture.Width(), Scratch.Picture.Height(), towns);
  }
}

}  // namespace hillograph
