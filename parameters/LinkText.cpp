#include "parameters/LinkText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <optional>

#include "parameters/IgnoreCase.h"
#include "parameters/MapSize.h"
#include "parameters/NumberText.h"
#include "parameters/Settings.h"
#include "synthesis/Generator.h"
#include "synthesis/RenderExtras.h"
#include "synthesis/base/Error.h"

namespace hillograph {
namespace {

constexpr std::string_view SizeKey = "Size";
constexpr std::string_view LabelScaleKey = "LabelScale";
constexpr std::string_view SmoothHeightmapKey = "SmoothHeightmap";
constexpr char PairSeparator = '&';
constexpr std::string_view HexDigits = "0123456789ABCDEF";

// The part of Text that holds the pairs: what follows the first "#" of a URL (nothing when it
// has none), of a fragment, or the whole text.
std::string_view PairsOf(std::string_view text) {
  const std::size_t hash = text.find('#');
  if (text.find("://") != std::string_view::npos) {
    return hash == std::string_view::npos ? std::string_view() : text.substr(hash + 1);
  }
  return hash == 0 ? text.substr(1) : text;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "%XX" gives the byte XX; every other byte stands for itself ("+" too: it may sign a number).
std::optional<std::string> Decoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

// Every byte but letters, digits and "-._~" as %XX.
std::string Encoded(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_' || c == '~';
    if (plain) {
      out += c;
      continue;
    }
    const auto byte = static_cast<unsigned char>(c);
    out += '%';
    out += HexDigits[byte >> 4];
    out += HexDigits[byte & 0xF];
  }
  return out;
}

[[noreturn]] void Refuse(std::string_view key, std::string_view value, const std::string& what) {
  throw TError("invalid value \"" + std::string(value) + "\" for " + std::string(key) + ": " +
               std::string(what));
}

// One decoded pair on top of Map; throws TError saying why it cannot be applied.
void ApplyPair(TLinkMap& map, std::string_view key, std::string_view value) {
  if (EqualIgnoringCase(key, SizeKey)) {
    const std::optional<TMapSize> size = ReadMapSize(value);
    if (!size)
      Refuse(SizeKey, value, "expected WIDTHxHEIGHT with sides 1 .. " + std::to_string(MaxMapSide));
    map.Params.Width = size->Width;
    map.Params.Height = size->Height;
    return;
  }
  if (EqualIgnoringCase(key, LabelScaleKey)) {
    const std::optional<double> scale = ParseNumberText(value);
    if (!scale || !(*scale >= 1 && *scale <= MaxLabelScale) || *scale != std::floor(*scale)) {
      Refuse(LabelScaleKey, value, "expected a whole number 1 .. " + std::to_string(MaxLabelScale));
    }
    map.LabelScale = static_cast<std::int32_t>(*scale);
    return;
  }
  if (EqualIgnoringCase(key, SmoothHeightmapKey)) {
    if (value != "0" && value != "1") Refuse(SmoothHeightmapKey, value, "expected 0 or 1");
    map.SmoothHeightmap = value == "1";
    return;
  }
  const TParameterKey* known = FindParameterKey(key);
  if (known != nullptr && known->Kind == TKeyKind::Text) {
    throw TError("TownDB is not taken from a link: a link never names a file");
  }
  if (known != nullptr && known->Kind == TKeyKind::Flag) {
    throw TError("unknown key \"" + std::string(key) + "\": a link has no AutoRefresh");
  }
  ApplySetting(map.Params, std::string(key) + "=" + std::string(value));
}

// The field's text when it reads back as Value; otherwise the fewest of 16 and 17 significant
// digits that do. A standard library that cannot format a double (WebAssembly's, so far) gives
// the field's text alone.
std::string NumberValueText(double value) {
  std::string text = FormatNumberText(value);
#if defined(__cpp_lib_to_chars)
  std::array<char, 64> digits{};
  for (int precision = NumberTextDigits + 1; precision <= 17 && ParseNumberText(text) != value;
       ++precision) {
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                      std::chars_format::general, precision);
    text.assign(digits.data(), result.ptr);
  }
#endif
  return text;
}

std::string ColorValueText(TColor color) {
  if (color > 0xFFFFFF) return std::to_string(static_cast<std::int32_t>(color));
  std::string text = "#";
  for (const int shift : {0, 8, 16}) {  // red is the low byte
    const std::uint32_t byte = (color >> shift) & 0xFF;
    text += HexDigits[byte >> 4];
    text += HexDigits[byte & 0xF];
  }
  return text;
}

bool InWindowRange(double value, TNumberRange range) {
  return value >= range.Min && value <= range.Max;
}

}  // namespace

TLinkReading ReadLinkText(std::string_view Text) {
  TLinkReading reading;
  std::string_view pairs = PairsOf(Text);
  while (!pairs.empty()) {
    const std::size_t end = std::min(pairs.find(PairSeparator), pairs.size());
    const std::string_view pair = pairs.substr(0, end);
    pairs.remove_prefix(std::min(end + 1, pairs.size()));
    if (pair.empty()) continue;
    const std::size_t equals = pair.find('=');
    const auto key = Decoded(pair.substr(0, equals));
    const auto value =
        Decoded(equals == std::string_view::npos ? std::string_view() : pair.substr(equals + 1));
    try {
      if (!key || !value) throw TError("a broken %-escape in \"" + std::string(pair) + "\"");
      if (equals == std::string_view::npos) {
        throw TError("expected KEY=VALUE, got \"" + *key + "\"");
      }
      ApplyPair(reading.Map, *key, *value);
    } catch (const TError& e) {
      reading.Problems.emplace_back(e.what());
    }
  }
  return reading;
}

std::string WriteLinkText(const TLinkMap& Map) {
  const TMapParameters start;
  const TMapParameters& params = Map.Params;
  std::string text;
  const auto add = [&text](std::string_view key, std::string_view value) {
    if (!text.empty()) text += PairSeparator;
    text += key;
    text += '=';
    text += Encoded(value);
  };
  const bool sized =
      !InWindowRange(params.Width, WidthRange) || !InWindowRange(params.Height, HeightRange);
  if (sized) {
    add(SizeKey, std::to_string(RoundHalfEven(params.Width)) + "x" +
                     std::to_string(RoundHalfEven(params.Height)));
  }
  for (const TParameterKey& key : ParameterKeys) {
    switch (key.Kind) {
      case TKeyKind::Number:
        if (sized &&
            (key.Number == &TMapParameters::Width || key.Number == &TMapParameters::Height))
          break;
        if (params.*key.Number != start.*key.Number)
          add(key.Name, NumberValueText(params.*key.Number));
        break;
      case TKeyKind::Color:
        if (params.*key.Color != start.*key.Color) add(key.Name, ColorValueText(params.*key.Color));
        break;
      case TKeyKind::Text:
      case TKeyKind::Flag:
        break;
    }
  }
  if (Map.LabelScale != 1) add(LabelScaleKey, std::to_string(Map.LabelScale));
  if (Map.SmoothHeightmap) add(SmoothHeightmapKey, "1");
  return text;
}

}  // namespace hillograph
