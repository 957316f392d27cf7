#include "parameters/AddDefaultExt.h"

namespace hillograph {
namespace {

#ifdef _WIN32
constexpr const char* DirectorySeparators = "\\/";
#else
constexpr const char* DirectorySeparators = "/";
#endif

}  // namespace

std::string AddDefaultExt(const std::string& FileName, const std::string& Ext) {
  const std::size_t separator = FileName.find_last_of(DirectorySeparators);
  const std::size_t lastComponent = separator == std::string::npos ? 0 : separator + 1;
  if (FileName.find('.', lastComponent) != std::string::npos) return FileName;
  return FileName + Ext;
}

}  // namespace hillograph
