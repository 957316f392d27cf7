#include "parameters/Preset.h"

#include <cstdint>
#include <vector>

#include "parameters/IntegerText.h"
#include "parameters/Profile.h"

namespace hillograph {
namespace {

constexpr const char* Ticked = "1";
constexpr const char* Unticked = "0";

std::int32_t ReadInteger(const TProfileText& profile, const TParameterKey& key) {
  return ParseIntegerText(profile.ReadString(key.Section, key.Name, "")).value_or(key.LoadDefault);
}

// Number fields are saved rounded, halves to even; colours as signed 32-bit integers.
std::string ValueText(const TMapParameters& params, const TParameterKey& key) {
  switch (key.Kind) {
    case TKeyKind::Number:
      return std::to_string(RoundHalfEven(params.*key.Number));
    case TKeyKind::Text:
      return params.TownDB;
    case TKeyKind::Color:
      return std::to_string(static_cast<std::int32_t>(params.*key.Color));
    case TKeyKind::Flag:
      return params.AutoRefresh ? Ticked : Unticked;
  }
  return {};
}

}  // namespace

TMapParameters PresetParameters(const TProfileText& Profile) {
  TMapParameters params;
  for (const TParameterKey& key : ParameterKeys) {
    switch (key.Kind) {
      case TKeyKind::Number:
        SetNumber(params, key, ReadInteger(Profile, key));
        break;
      case TKeyKind::Text:
        params.TownDB = Profile.ReadString(key.Section, key.Name, "");
        break;
      case TKeyKind::Color:
        params.*key.Color = static_cast<TColor>(ReadInteger(Profile, key));
        break;
      case TKeyKind::Flag:
        params.AutoRefresh = ReadInteger(Profile, key) != 0;
        break;
    }
  }
  return params;
}

TMapParameters ReadPreset(const std::string& FileName) {
  return PresetParameters(TProfile(FileName).Read());
}

void WritePreset(const std::string& FileName, const TMapParameters& Params) {
  std::vector<TProfile::TEntry> entries;
  for (const TParameterKey& key : ParameterKeys)
    entries.push_back({key.Section, key.Name, ValueText(Params, key)});
  TProfile(FileName).WriteStrings(entries);
}

}  // namespace hillograph
