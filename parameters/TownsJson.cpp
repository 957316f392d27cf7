#include "parameters/TownsJson.h"

#include <nlohmann/json.hpp>
#include <system_error>

#include "synthesis/base/Error.h"
#include "synthesis/files/AtomicFile.h"
#include "synthesis/files/OutputFile.h"

namespace hillograph {

std::string EncodeTownsJson(std::int32_t Width, std::int32_t Height, const TTownList& Towns) {
  nlohmann::ordered_json towns = nlohmann::ordered_json::array();
  for (const TTown& town : Towns) {
    towns.push_back({{"x", town.X},
                     {"y", town.Y},
                     {"kind", town.Kind},
                     {"name", town.Name},
                     {"label_width", town.LabelWidth},
                     {"label_height", town.LabelHeight}});
  }
  const nlohmann::ordered_json document = {
      {"width", Width}, {"height", Height}, {"towns", std::move(towns)}};
  // Names are UTF-8 already; should one not be, it is written with replacement characters
  // rather than failing the render.
  return document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

void SaveTownsJson(const std::string& FileName, std::int32_t Width, std::int32_t Height,
                   const TTownList& Towns) {
  CreateOutputFile(FileName, EncodeTownsJson(Width, Height, Towns));
}

}  // namespace hillograph
