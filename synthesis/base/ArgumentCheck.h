// Checks of what callers pass to the core: a value outside what can be drawn fails with a TError
// that names the argument and its allowed range, before anything is drawn.
#pragma once

#include <cstdint>
#include <string_view>

namespace hillograph {

// Min <= Value <= Max, or TError "Name must be Min .. Max, not Value".
void CheckArgument(std::string_view Name, std::int64_t Value, std::int64_t Min, std::int64_t Max);

// The same for a number; NaN is never in range.
void CheckNumberArgument(std::string_view Name, double Value, double Min, double Max);

}  // namespace hillograph
