// The face the windows and links are drawn in.
#pragma once

#include <QFont>

namespace hillograph {

inline constexpr char InterfaceFamily[] = "Tahoma";

// InterfaceFamily at the given size where it is installed, else the system's sans-serif at the
// same size.
QFont InterfaceFont(int PointSize);

}  // namespace hillograph
