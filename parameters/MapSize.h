// A map's size as one piece of text, "WIDTHxHEIGHT", as the command line and links give it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace hillograph {

struct TMapSize {
  std::int32_t Width;
  std::int32_t Height;
};

// "WIDTHxHEIGHT" (also "X"), each side a whole decimal number 1 .. MaxMapSide, nothing around
// it; nothing for any other text.
std::optional<TMapSize> ReadMapSize(std::string_view Text);

}  // namespace hillograph
