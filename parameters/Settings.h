// "KEY=VALUE" settings, as the command-line renderer takes them.
#pragma once

#include <string>
#include <string_view>

#include "parameters/MapParameters.h"

namespace hillograph {

// Applies one setting. A number takes the text a number field would read ("." as separator) and is
// brought into its range; a colour takes a whole number as a preset holds it, or #RRGGBB; TownDB
// takes the text as it is. Throws TError naming what is wrong.
void ApplySetting(TMapParameters& Params, std::string_view Setting);

}  // namespace hillograph
