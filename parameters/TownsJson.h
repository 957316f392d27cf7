// The towns of a map as a JSON file, for scripts that place things beside the towns.
#pragma once

#include <cstdint>
#include <string>

#include "synthesis/towns/Towns.h"

namespace hillograph {

// {"width": W, "height": H, "towns": [{"x", "y", "kind", "name", "label_width",
// "label_height"}, ...]} with the towns in placement order and the names in UTF-8.
std::string EncodeTownsJson(std::int32_t Width, std::int32_t Height, const TTownList& Towns);

// Replaces FileName with the JSON, or leaves it as it was and throws TError with the message
// Cannot create file "<full path>". <system's reason>
void SaveTownsJson(const std::string& FileName, std::int32_t Width, std::int32_t Height,
                   const TTownList& Towns);

}  // namespace hillograph
