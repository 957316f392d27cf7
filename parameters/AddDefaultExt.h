// The extension the save dialogs add to a name typed without one.
#pragma once

#include <string>

namespace hillograph {

// FileName followed by Ext (".hpf", ".bmp") when the last component of FileName has no dot;
// FileName unchanged otherwise. A dot in a folder name does not count; a leading or trailing dot
// in the last component does.
std::string AddDefaultExt(const std::string& FileName, const std::string& Ext);

}  // namespace hillograph
