#include "cli/RenderCommand.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Batch.h"
#include "cli/JobMemory.h"
#include "cli/Manifest.h"
#include "cli/MapJob.h"
#include "cli/OptionValues.h"
#include "cli/ProgressLine.h"
#include "cli/Shard.h"
#include "cli/StopSignals.h"
#include "cli/TerminalText.h"
#include "parameters/AddDefaultExt.h"
#include "parameters/LinkText.h"
#include "parameters/MapParameters.h"
#include "parameters/MissingFiles.h"
#include "parameters/PictureRecipe.h"
#include "parameters/Preset.h"
#include "parameters/Profile.h"
#include "parameters/Settings.h"
#include "synthesis/Generator.h"
#include "synthesis/RenderExtras.h"
#include "synthesis/base/Error.h"
#include "synthesis/files/PictureFile.h"
#include "synthesis/parallel/PlacedThread.h"
#include "synthesis/platform/AvailableMemory.h"

namespace hillograph {
namespace {

constexpr const char* ProgramName = "hillograph-render";
constexpr const char* DefaultOutput = "map.bmp";
constexpr std::string_view StandardOutput = "-";
constexpr int MaxJobs = 256;

struct TRenderOptions {
  std::string Preset;
  std::string Link;
  std::vector<std::string> Settings;
  std::string Output = DefaultOutput;
  std::string Heightmap;
  bool SmoothHeightmap = false;
  std::string TownsJson;
  std::string SavePreset;
  std::string Size;
  std::int32_t LabelScale = 1;
  std::string Seeds;
  int Jobs = 0;
  bool Quiet = false;
  // Batches that resume, record what they made and spread over machines.
  std::string Shard;
  std::string Manifest;
  bool SkipExisting = false;
  bool NoRecipe = false;
  std::string Format = "bmp";  // of the picture written to standard output
};

std::string KeyList() {
  std::string keys;
  for (const TParameterKey& key : ParameterKeys) {
    if (!keys.empty()) keys += ", ";
    keys += key.Name;
  }
  return keys;
}

void DefineOptions(CLI::App& app, TRenderOptions& options) {
  CLI::Option* preset =
      app.add_option("--preset", options.Preset,
                     "Start from a preset file, read as the window's \"Load preset...\" reads it")
          ->type_name("FILE");
  app.add_option(
         "--link", options.Link,
         "Start from a map's link: a whole URL or its fragment, KEY=VALUE pairs joined by &")
      ->type_name("TEXT")
      ->excludes(preset);
  app.add_option("--set", options.Settings,
                 "Set a parameter, KEY=VALUE; repeatable, applied in order. Keys: " + KeyList())
      ->type_name("KEY=VALUE")
      ->allow_extra_args(false);
  app.add_option("--size", options.Size,
                 "Map size, applied after --preset and --set; each side 1 .. 16384")
      ->type_name("WxH");
  app.add_option("--label-scale", options.LabelScale,
                 "Draw town markers and labels K times larger, for print (1 .. 16, default 1)")
      ->type_name("K")
      ->check(CLI::Range(1, MaxLabelScale).description(""));
  app.add_option(
         "-o,--output", options.Output,
         "Picture file to write: BMP, PNG when the name ends in .png, or an SVG drawing in layers "
         "when it ends in .svg, - for standard output (default: map.bmp)")
      ->type_name("FILE");
  app.add_option("--heightmap", options.Heightmap,
                 "Also write the heights as 16-bit samples: .png, .r16 or .raw (little-endian, no "
                 "header), .pgm")
      ->type_name("FILE");
  app.add_flag("--smooth-heightmap", options.SmoothHeightmap,
               "Smooth the heightmap's terraces away: each sample still rounds to its height")
      ->needs("--heightmap");
  app.add_option("--towns-json", options.TownsJson,
                 "Also write the towns, in placement order, as a JSON file")
      ->type_name("FILE");
  app.add_option("--save-preset", options.SavePreset,
                 "Write the parameters as a preset file, as the window's \"Save preset...\" does")
      ->type_name("FILE");
  app.add_option("--seeds", options.Seeds,
                 "One map per seed, FROM..TO or A,B,C; every file name must hold {seed}")
      ->type_name("LIST");
  app.add_option(
         "--jobs", options.Jobs,
         "Maps rendered at once in a batch (default: the processors, as many as fit in memory)")
      ->type_name("N")
      ->check(CLI::Range(1, MaxJobs).description(""));
  app.add_flag("-q,--quiet", options.Quiet, "No progress line");
  // Batches that resume, record what they made and spread over machines.
  app.add_option("--shard", options.Shard,
                 "Make only the K-th of N interleaved shares of --seeds (K from 0); auto/N takes K "
                 "from SLURM_ARRAY_TASK_ID or JOB_COMPLETION_INDEX")
      ->type_name("K/N");
  app.add_option("--manifest", options.Manifest,
                 "Append a JSON line for each map of a batch as it is made: seed, status, each "
                 "file's size and SHA-256, parameters, version")
      ->type_name("FILE");
  app.add_option("--format", options.Format,
                 "The picture's format with -o - (standard output): bmp or png (default: bmp)")
      ->type_name("FORMAT")
      ->check(CLI::IsMember({"bmp", "png"}));
  app.add_flag("--no-recipe", options.NoRecipe,
               "Write PNG files and drawings without the map's recipe (its parameters as a link) "
               "in their text chunks or metadata");
  app.add_flag("--skip-existing", options.SkipExisting,
               "In a batch, skip the seeds whose files exist (and match the manifest, with "
               "--manifest)");
  app.set_version_flag("--version", std::string(ProgramName) + " " + HILLOGRAPH_VERSION);
}

std::optional<std::string> Given(const CLI::App& app, const char* option, const std::string& v) {
  if (app.count(option) == 0) return std::nullopt;
  return v;
}

// Checks what needs more than the parser: the size, the heightmap's format, the names of a
// batch. Throws TError with the usage message.
void CheckOptions(const CLI::App& app, const TRenderOptions& options, bool OutIsTerminal) {
  if (app.count("--size") > 0) ParseMapSize(options.Size);
  if (options.Output == StandardOutput) {
    if (OutIsTerminal) throw TError("--output: a picture is not written to a terminal");
  } else if (app.count("--format") > 0) {
    throw TError("--format: only for -o - (standard output)");
  }
  if (const auto refusal = PictureNameRefusal(options.Output))
    throw TError("--output: " + *refusal);
  if (app.count("--heightmap") > 0 && !HeightmapFormatOf(options.Heightmap)) {
    throw TError("--heightmap: \"" + options.Heightmap + "\" must end in .png, .r16, .raw or .pgm");
  }
  for (const char* option : {"--shard", "--manifest", "--skip-existing"}) {
    if (app.count(option) > 0 && app.count("--seeds") == 0)
      throw TError(std::string(option) + ": only for a batch (--seeds)");
  }
  if (app.count("--seeds") == 0) return;
  TSeedList::Parse(options.Seeds);
  if (app.count("--shard") > 0) ParseShard(options.Shard);
  const std::pair<const char*, const std::string*> names[] = {
      {"--output", &options.Output},
      {"--heightmap", &options.Heightmap},
      {"--towns-json", &options.TownsJson},
      {"--save-preset", &options.SavePreset}};
  for (const auto& [option, name] : names) {
    const bool used = app.count(option) > 0 || std::string_view(option) == "--output";
    if (used && name->find(SeedPlaceholder) == std::string::npos) {
      throw TError(std::string(option) + ": a batch needs {seed} in the file name, not \"" + *name +
                   "\"");
    }
  }
}

// Every folder the batch writes into, before any map is rendered: a missing one would fail every
// seed after all the work. Throws TError naming the first.
void CheckOutputFolders(const TMapJob& job, const TSeedList& seeds) {
  std::set<std::string> checked;
  const auto check = [&checked](const std::optional<std::string>& name) {
    if (!name || !checked.insert(std::filesystem::path(*name).parent_path().string()).second)
      return;
    if (const auto folder = MissingFolder(*name)) {
      throw TError("The folder \"" + *folder + "\" for \"" + *name +
                   "\" does not exist; nothing was rendered.");
    }
  };
  // Every name holds the seed, but a folder without it is the same for every seed: checked once.
  bool perSeed = false;
  for (const auto& name :
       {std::optional(job.Picture), job.Heightmap, job.TownsJson, job.SavePreset}) {
    if (name && std::filesystem::path(*name).parent_path().string().find(SeedPlaceholder) !=
                    std::string::npos) {
      perSeed = true;
    }
  }
  for (std::size_t i = 0; i < (perSeed ? seeds.Count() : std::min<std::size_t>(seeds.Count(), 1));
       ++i) {
    const TMapJob named = JobForSeed(job, seeds.At(i));
    for (const auto& name :
         {std::optional(named.Picture), named.Heightmap, named.TownsJson, named.SavePreset}) {
      check(name);
    }
  }
}

// One job per processor the process may run on, as many as fit in memory.
int DefaultJobs(std::uint64_t mapPeak, std::optional<std::uint64_t> available) {
  return JobsThatFit(std::min(static_cast<int>(AvailableProcessors()), MaxJobs), mapPeak,
                     available);
}

std::uint64_t JobMapPeak(const TMapJob& job) {
  const auto side = [](double v) { return std::clamp(RoundHalfEven(v), 1, MaxMapSide); };
  return MapPeakBytes(side(job.Params.Width), side(job.Params.Height),
                      {.PngPicture = HasExtension(job.Picture, ".png"),
                       .PngHeightmap = job.Heightmap && HasExtension(*job.Heightmap, ".png")});
}

std::string GiB(std::uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f GiB", static_cast<double>(bytes) / (1 << 30));
  return text;
}

// The batch's seeds: all of --seeds, or the share --shard picks.
TSeedList BatchSeeds(const CLI::App& app, const TRenderOptions& options) {
  TSeedList seeds = TSeedList::Parse(options.Seeds);
  if (app.count("--shard") == 0) return seeds;
  const TShard shard = ParseShard(options.Shard);
  return seeds.Share(shard.Index, shard.Count);
}

int RunBatchCommand(const CLI::App& app, const TRenderOptions& options, const TMapJob& job,
                    TProgressLine& line) {
  const std::uint64_t mapPeak = JobMapPeak(job);
  const std::optional<std::uint64_t> available = platform::AvailableMemory();
  const TSeedList seeds = BatchSeeds(app, options);
  CheckOutputFolders(job, seeds);
  TBatchOptions batch;
  batch.Jobs = DefaultJobs(mapPeak, available);
  if (app.count("--jobs") > 0) {
    batch.Jobs = options.Jobs;
    if (JobsThatFit(batch.Jobs, mapPeak, available) < batch.Jobs) {
      line.Message(std::string(ProgramName) + ": warning: --jobs " + std::to_string(batch.Jobs) +
                   " needs about " + GiB(mapPeak * static_cast<std::uint64_t>(batch.Jobs)) +
                   ", more than " + std::to_string(static_cast<int>(UsableMemoryShare * 100)) +
                   "% of the " + GiB(*available) + " available");
    }
  }
  batch.SkipExisting = options.SkipExisting;
  std::optional<TManifestWriter> manifest;
  std::map<std::int32_t, TManifestLine> recorded;
  if (app.count("--manifest") > 0) {
    if (options.SkipExisting) recorded = ReadManifest(options.Manifest);
    manifest.emplace(options.Manifest);
    batch.Manifest = &*manifest;
    batch.Recorded = &recorded;
    batch.Version = HILLOGRAPH_VERSION;
    batch.LinkOf = [](const TMapJob& job) {
      return WriteLinkText({job.Params, job.LabelScale, job.Heightmap && job.SmoothHeightmap});
    };
  }
  const TBatchResult result = RunBatch(job, seeds, batch, line, ProgramName);
  if (result.Skipped > 0 && !options.Quiet) {
    line.Message(std::string(ProgramName) + ": skipped " + std::to_string(result.Skipped) + " of " +
                 std::to_string(seeds.Count()) + " maps, made already");
  }
  if (result.Signal != 0) return SignalExitBase + result.Signal;
  return result.Failed == 0 ? ExitSuccess : ExitFailure;
}

}  // namespace

int RunRenderCommand(int argc, const char* const* argv, std::ostream& Out, std::ostream& Err,
                     bool ErrIsTerminal, bool OutIsTerminal) {
  CLI::App app("Renders an imaginary relief map, as the Hillograph window draws it.", ProgramName);
  TRenderOptions options;
  DefineOptions(app, options);
  TMapParameters params;
  try {
    app.parse(argc, argv);
    if (app.count("--link") > 0) {
      // What a link cannot give is said, and the map is made from the rest.
      const TLinkReading link = ReadLinkText(options.Link);
      for (const std::string& problem : link.Problems)
        Err << ProgramName << ": --link: " << OneLine(problem) << " (left out)\n";
      params = link.Map.Params;
      if (app.count("--label-scale") == 0) options.LabelScale = link.Map.LabelScale;
    }
    // The settings are checked before any file is read or written.
    for (const std::string& setting : options.Settings)
      ApplySetting(params, setting);
    CheckOptions(app, options, OutIsTerminal);
  } catch (const CLI::Success& e) {  // --help or --version
    return app.exit(e, Out, Err);
  } catch (const CLI::ParseError& e) {
    Err << ProgramName << ": " << OneLine(e.what()) << " (try --help)\n";
    return ExitUsage;
  } catch (const TError& e) {
    Err << ProgramName << ": " << OneLine(e.what()) << " (try --help)\n";
    return ExitUsage;
  }

  TProgressLine line(Err, ErrIsTerminal && !options.Quiet);
  try {
    if (app.count("--preset") > 0) {
      // Nobody picked this file from a dialog: a name that reads nothing is an error, not a map
      // of defaults.
      // A PNG picture that carries its recipe gives the map it was made from.
      if (const std::optional<TRecipe> recipe = ReadPictureRecipe(options.Preset)) {
        for (const std::string& note : recipe->Notes)
          line.Message(std::string(ProgramName) + ": --preset: " + Escaped(note));
        params = recipe->Map.Params;
        if (app.count("--label-scale") == 0) options.LabelScale = recipe->Map.LabelScale;
        options.SmoothHeightmap = options.SmoothHeightmap || recipe->Map.SmoothHeightmap;
      } else {
        params = PresetParameters(TProfile(options.Preset).ReadExisting());
      }
      for (const std::string& setting : options.Settings)
        ApplySetting(params, setting);
    }
    if (app.count("--size") > 0) {
      // Past the window's range on purpose: the window clamps such a preset when it loads it.
      const TMapSize size = ParseMapSize(options.Size);
      params.Width = size.Width;
      params.Height = size.Height;
    }
    TMapJob job;
    job.Params = params;
    job.LabelScale = options.LabelScale;
    job.Picture = options.Output;
    if (options.Output == StandardOutput) {
      job.PictureOut = &Out;
      job.PictureOutPng = options.Format == "png";
    }
    job.Heightmap = Given(app, "--heightmap", options.Heightmap);
    job.SmoothHeightmap = options.SmoothHeightmap;
    job.TownsJson = Given(app, "--towns-json", options.TownsJson);
    job.SavePreset = Given(app, "--save-preset", options.SavePreset);
    if (const auto missing = MissingTownDatabase(params)) {
      line.Clear();
      Err << ProgramName << ": warning: " << Escaped(*missing) << "\n";
    }
    job.Recipe = !options.NoRecipe;
    // Stopped by a signal, a run leaves the targets of unfinished maps as they were and removes
    // its temporaries.
    const TStopSignals stop;
    if (app.count("--seeds") > 0) return RunBatchCommand(app, options, job, line);
    TStopCheck check(&line);
    TMapScratch scratch(AvailableProcessors());
    RunMapJob(job, scratch, true, &check);
    if (const int signal = TStopSignals::Received()) return SignalExitBase + signal;
  } catch (const TStopped& e) {
    line.Clear();
    return SignalExitBase + e.Signal;
  } catch (const std::exception& e) {
    line.Clear();
    Err << ProgramName << ": " << Escaped(MessageOf(e)) << "\n";
    return ExitFailure;
  }
  return ExitSuccess;
}

}  // namespace hillograph
