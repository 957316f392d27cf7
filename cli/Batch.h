// Many maps in one run: one per seed, rendered on several threads.
#pragma once

#include <cstddef>

#include "cli/MapJob.h"
#include "cli/OptionValues.h"
#include "cli/ProgressLine.h"

namespace hillograph {

// Runs Job once per seed on Jobs threads (1 or more). A seed that fails is reported through
// Line as "<program>: seed N: <message>", none of its files replaces its target, and the others
// go on. Returns the number that failed.
std::size_t RunBatch(const TMapJob& Job, const TSeedList& Seeds, int Jobs, TProgressLine& Line,
                     std::string_view ProgramName);

}  // namespace hillograph
