// Preset files: the eighteen parameters in an INI file, saved and loaded as the window's
// "Save preset..." and "Load preset..." do.
#pragma once

#include <string>

#include "parameters/MapParameters.h"
#include "parameters/ProfileText.h"

namespace hillograph {

// The parameters a preset holds. A missing or unreadable key gives the key's load default,
// numbers are brought into their fields' ranges, colours are taken as they are, TownDB is cut to
// 2047 characters and AutoRefresh is ticked unless it reads 0.
TMapParameters PresetParameters(const TProfileText& Profile);

// Loads the preset file; a file that is missing or cannot be read gives the load defaults.
TMapParameters ReadPreset(const std::string& FileName);

// Writes the eighteen keys in the order of ParameterKeys, in one replacement of the file that keeps
// its other lines. A failure raises "Unable to write to <file>" and leaves the file as it was.
void WritePreset(const std::string& FileName, const TMapParameters& Params);

}  // namespace hillograph
