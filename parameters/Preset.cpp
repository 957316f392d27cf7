#include "parameters/Preset.h"

#include <cstdint>
#include <vector>

#include "parameters/IntegerText.h"
#include "parameters/PictureRecipe.h"
#include "parameters/Profile.h"
#include "synthesis/base/Error.h"

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

// Random bytes, a picture or someone else's INI file would otherwise load as a map of defaults
// and replace every setting without a word.
void CheckIsPreset(const TProfileText& profile) {
  for (const TParameterKey& key : ParameterKeys) {
    if (profile.HasKey(key.Section, key.Name)) return;
  }
  throw TError(profile.Source() + " is not a preset: it holds none of its keys.");
}

}  // namespace

TMapParameters PresetParameters(const TProfileText& Profile) {
  CheckIsPreset(Profile);
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
  // A picture that carries its recipe loads as the preset it was made from.
  if (std::optional<TRecipe> recipe = ReadPictureRecipe(FileName)) return recipe->Map.Params;
  return PresetParameters(TProfile(FileName).Read());
}

void WritePreset(const std::string& FileName, const TMapParameters& Params) {
  std::vector<TProfile::TEntry> entries;
  for (const TParameterKey& key : ParameterKeys)
    entries.push_back({key.Section, key.Name, ValueText(Params, key)});
  TProfile(FileName).WriteStrings(entries);
}

}  // namespace hillograph
