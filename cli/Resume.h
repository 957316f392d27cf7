// Resuming a batch: which maps are made already, and the temporaries a killed run left.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cli/Manifest.h"

namespace hillograph {

// Whether the map whose files are Files is made already: every file exists, and, when Recorded is
// given (the batch keeps a manifest), the manifest says the map succeeded with these files, each
// of the recorded size and SHA-256.
bool MapIsMade(const std::vector<std::string>& Files, const TManifestLine* Recorded,
               bool HasManifest);

// Removes the temporaries of these targets, whatever their age: the run that wrote them was
// killed, and no other run writes them now. Returns how many were removed.
std::size_t RemoveLeftTemporaries(const std::vector<std::string>& Targets);

}  // namespace hillograph
