#include "parameters/MissingFiles.h"

#include <filesystem>
#include <system_error>

namespace hillograph {

std::optional<std::string> MissingTownDatabase(const TMapParameters& Params) {
  std::error_code error;
  if (Params.TownDB.empty() || std::filesystem::exists(Params.TownDB, error)) return std::nullopt;
  return "Town database \"" + Params.TownDB + "\" not found: the towns have invented names.";
}

std::optional<std::string> MissingFolder(const std::string& FileName) {
  const std::filesystem::path folder = std::filesystem::path(FileName).parent_path();
  std::error_code error;
  if (folder.empty() || std::filesystem::is_directory(folder, error)) return std::nullopt;
  return folder.string();
}

}  // namespace hillograph
