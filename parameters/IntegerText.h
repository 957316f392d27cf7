// Whole numbers as preset files hold them.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace hillograph {

// Optional leading blanks, an optional sign, then decimal digits or hexadecimal digits after
// "$", "0x", "0X", "x" or "X". Decimal must fit a signed 32-bit integer; hexadecimal may use all
// 32 bits (so $FFFFFFFF is -1). Anything else is unreadable.
std::optional<std::int32_t> ParseIntegerText(std::string_view Text);

}  // namespace hillograph
