// Many maps in one run: one per seed, rendered on several threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "cli/Manifest.h"
#include "cli/MapJob.h"
#include "cli/OptionValues.h"
#include "cli/ProgressLine.h"

namespace hillograph {

struct TBatchOptions {
  int Jobs = 1;  // threads, 1 or more
  // Seeds whose files exist (and match Recorded, when there is a manifest) are not made again;
  // the temporaries a killed run left for the batch's targets are removed first.
  bool SkipExisting = false;
  // Receives a line for each map as it is committed or fails; nullptr for none.
  TManifestWriter* Manifest = nullptr;
  // The manifest's last line of each seed, read before the batch.
  const std::map<std::int32_t, TManifestLine>* Recorded = nullptr;
  // The map's parameters as link text, for the manifest.
  std::function<std::string(const TMapJob&)> LinkOf;
  std::string Version;
};

struct TBatchResult {
  std::size_t Failed = 0;
  std::size_t Skipped = 0;
  int Signal = 0;  // the stop signal that ended the batch early, or 0
};

// The files a map of the job writes.
std::vector<std::string> OutputsOf(const TMapJob& Job);

// Runs Job once per seed. A seed that fails is reported through Line as "<program>: seed N:
// <message>", none of its files replaces its target, and the others go on. A thread commits the
// maps it made every FilesPerCommit files or CommitInterval, whichever comes first. After a stop
// signal no map is begun, the one being made is dropped, and those made are committed.
TBatchResult RunBatch(const TMapJob& Job, const TSeedList& Seeds, const TBatchOptions& Options,
                      TProgressLine& Line, std::string_view ProgramName);

}  // namespace hillograph
