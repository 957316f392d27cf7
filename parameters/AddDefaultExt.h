// The extension the save dialogs add to a name typed without one.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace hillograph {

// FileName followed by Ext (".hpf", ".bmp") when the last component of FileName has no dot;
// FileName unchanged otherwise. A dot in a folder name does not count; a leading or trailing dot
// in the last component does.
std::string AddDefaultExt(const std::string& FileName, const std::string& Ext);

// The picture kinds a name asks for by its extension, in any case; a name whose last component has
// no extension is written as BMP.
inline constexpr std::array<std::string_view, 3> PictureExtensions = {".bmp", ".png", ".svg"};

// Nothing for a name that ends in one of PictureExtensions or has no extension; otherwise the
// message that refuses it, listing the kinds.
std::optional<std::string> PictureNameRefusal(const std::string& FileName);

}  // namespace hillograph
