#include "parameters/AddDefaultExt.h"

#include "synthesis/files/PictureFile.h"

namespace hillograph {
namespace {

#ifdef _WIN32
constexpr const char* DirectorySeparators = "\\/";
#else
constexpr const char* DirectorySeparators = "/";
#endif

bool HasNoExtension(const std::string& FileName) {
  const std::size_t separator = FileName.find_last_of(DirectorySeparators);
  const std::size_t lastComponent = separator == std::string::npos ? 0 : separator + 1;
  return FileName.find('.', lastComponent) == std::string::npos;
}

}  // namespace

std::string AddDefaultExt(const std::string& FileName, const std::string& Ext) {
  return HasNoExtension(FileName) ? FileName + Ext : FileName;
}

std::optional<std::string> PictureNameRefusal(const std::string& FileName) {
  if (HasNoExtension(FileName)) return std::nullopt;
  std::string kinds;
  for (const std::string_view ext : PictureExtensions) {
    if (HasExtension(FileName, ext)) return std::nullopt;
    kinds += (kinds.empty() ? "" : ", ") + std::string(ext);
  }
  return "Cannot write a picture named \"" + FileName + "\": its name must end in " + kinds +
         " (or have no extension, for a BMP).";
}

}  // namespace hillograph
