#include "synthesis/files/OutputFile.h"

#include <filesystem>
#include <system_error>

#include "synthesis/base/Error.h"

namespace hillograph {

std::string CannotCreateFileMessage(const std::string& FileName, const std::string& Reason) {
  std::error_code ignored;
  const std::filesystem::path full = std::filesystem::absolute(FileName, ignored);
  return "Cannot create file \"" + (full.empty() ? FileName : full.string()) + "\". " + Reason;
}

void CreateOutputFile(const std::string& FileName, const std::function<void(TAtomicFile&)>& Write) {
  try {
    TAtomicFile file(FileName);
    Write(file);
    file.Commit();
  } catch (const std::system_error& e) {
    throw TError(CannotCreateFileMessage(FileName, e.code().message()));
  }
}

}  // namespace hillograph
