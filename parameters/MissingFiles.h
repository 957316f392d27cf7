// Files a render names that are not there, as the window and the command line report them.
#pragma once

#include <optional>
#include <string>

#include "parameters/MapParameters.h"

namespace hillograph {

// A town database that does not exist gives invented names, as no database does; this is the
// word to the user about it, or nothing when the name is empty or the file exists.
std::optional<std::string> MissingTownDatabase(const TMapParameters& Params);

// The folder of FileName when it does not exist (the current folder for a bare name exists).
std::optional<std::string> MissingFolder(const std::string& FileName);

}  // namespace hillograph
