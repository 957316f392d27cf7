// Files the user asked for (pictures, town lists): written whole or not at all, and a failure
// reported as Cannot create file "<full path>". <system's reason>
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "synthesis/files/AtomicFile.h"

namespace hillograph {

// Writes FileName through Write and commits it; throws TError with the message on any failure.
void CreateOutputFile(const std::string& FileName, const std::function<void(TAtomicFile&)>& Write);

inline void CreateOutputFile(const std::string& FileName, std::string_view Data) {
  CreateOutputFile(FileName, [Data](TAtomicFile& file) { file.Write(Data); });
}

std::string CannotCreateFileMessage(const std::string& FileName, const std::string& Reason);

}  // namespace hillograph
