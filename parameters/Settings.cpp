#include "parameters/Settings.h"

#include <optional>

#include "parameters/IntegerText.h"
#include "parameters/NumberText.h"
#include "synthesis/base/Error.h"

namespace hillograph {
namespace {

std::optional<TColor> ParseHexColor(std::string_view text) {
  constexpr std::size_t HexColorLength = 7;  // #RRGGBB
  if (text.size() != HexColorLength || text[0] != '#') return std::nullopt;
  const auto value = ParseIntegerText("$" + std::string(text.substr(1)));
  if (!value) return std::nullopt;
  const auto rgb = static_cast<std::uint32_t>(*value);
  return RGB(rgb >> 16, rgb >> 8, rgb);
}

[[noreturn]] void Unreadable(std::string_view key, std::string_view value, std::string_view what) {
  throw TError("invalid value \"" + std::string(value) + "\" for " + std::string(key) + ": " +
               std::string(what));
}

}  // namespace

void ApplySetting(TMapParameters& Params, std::string_view Setting) {
  const std::size_t equals = Setting.find('=');
  if (equals == std::string_view::npos) {
    throw TError("expected KEY=VALUE, got \"" + std::string(Setting) + "\"");
  }
  const std::string_view name = Setting.substr(0, equals);
  const std::string_view value = Setting.substr(equals + 1);
  const TParameterKey* key = FindParameterKey(name);
  if (key == nullptr) throw TError("unknown key \"" + std::string(name) + "\"");
  switch (key->Kind) {
    case TKeyKind::Number: {
      const auto number = ParseNumberText(value);
      if (!number) Unreadable(key->Name, value, "expected a number");
      SetNumber(Params, *key, *number);
      break;
    }
    case TKeyKind::Text:
      Params.TownDB = std::string(value);
      break;
    case TKeyKind::Color: {
      std::optional<TColor> color = ParseHexColor(value);
      if (!color) {
        if (const auto integer = ParseIntegerText(value)) color = static_cast<TColor>(*integer);
      }
      if (!color) Unreadable(key->Name, value, "expected a colour as an integer or #RRGGBB");
      Params.*key->Color = *color;
      break;
    }
    case TKeyKind::Flag: {
      const auto integer = ParseIntegerText(value);
      if (!integer) Unreadable(key->Name, value, "expected 0 or 1");
      Params.AutoRefresh = *integer != 0;
      break;
    }
  }
}

}  // namespace hillograph
