#include "parameters/MapSize.h"

#include <charconv>

#include "synthesis/Generator.h"

namespace hillograph {
namespace {

// A whole decimal number, nothing before or after it, 1 .. MaxMapSide.
std::optional<std::int32_t> ReadSide(std::string_view text) {
  std::int32_t side = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), side);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || side < 1 ||
      side > MaxMapSide) {
    return std::nullopt;
  }
  return side;
}

}  // namespace

std::optional<TMapSize> ReadMapSize(std::string_view Text) {
  const std::size_t cross = Text.find_first_of("xX");
  if (cross == std::string_view::npos) return std::nullopt;
  const auto width = ReadSide(Text.substr(0, cross));
  const auto height = ReadSide(Text.substr(cross + 1));
  if (!width || !height) return std::nullopt;
  return TMapSize{*width, *height};
}

}  // namespace hillograph
