// Preset files: the eighteen parameters in an INI file, saved and loaded as the window's
// "Save preset..." and "Load preset..." do.
#pragma once

#include <string>

#include "parameters/MapParameters.h"
#include "parameters/ProfileText.h"

namespace hillograph {

// The parameters a preset holds. A missing or unreadable key gives the key's load default,
// numbers are brought into their fields' ranges, colours are taken as they are, TownDB is cut to
// 2047 characters and AutoRefresh is ticked unless it reads 0. Text holding none of the keys is no
// preset: raises TError "<source> is not a preset: it holds none of its keys.".
TMapParameters PresetParameters(const TProfileText& Profile);

// Loads the preset file, or the recipe of a PNG picture that carries one (see PictureRecipe). A
// file that is missing or cannot be read holds none of the keys.
TMapParameters ReadPreset(const std::string& FileName);

// Writes the eighteen keys in the order of ParameterKeys, in one replacement of the file that keeps
// its other lines. A failure raises "Unable to write to <file>" and leaves the file as it was.
void WritePreset(const std::string& FileName, const TMapParameters& Params);

}  // namespace hillograph
