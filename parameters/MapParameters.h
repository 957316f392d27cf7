// The eighteen values with which the user describes a map, their start-up values and ranges,
// and the conversions a render applies to them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "synthesis/MapStyle.h"
#include "synthesis/base/Color.h"

namespace hillograph {

struct TNumberRange {
  double Min;
  double Max;
};

inline constexpr TNumberRange WidthRange{1, 1000};
inline constexpr TNumberRange HeightRange{1, 1000};
inline constexpr TNumberRange RandSeedRange{0, 2147483647};
inline constexpr TNumberRange DiversityRange{1, 1000};
inline constexpr TNumberRange WaterAmountRange{0, 255};
inline constexpr TNumberRange TownAmountRange{0, 10000};
inline constexpr TNumberRange GridSizeRange{20, 200};
inline constexpr TNumberRange ShadowsRange{0, 50};

inline constexpr double TownAmountPerDensity = 10000;  // TownDensity = TownAmount / 10000

// The values the window shows when the program starts.
struct TMapParameters {
  double Width = 640;
  double Height = 480;
  double RandSeed = 123456789;
  double Diversity = 700;
  double WaterAmount = 150;
  double TownAmount = 30;
  std::string TownDB;
  TColor LandBorder = DefaultLandBorderColor;
  TColor MapFrame = DefaultMapFrameColor;
  TColor Grid = DefaultGridColor;
  TColor SeaMin = DefaultSeaMinColor;
  TColor SeaMax = DefaultSeaMaxColor;
  TColor Plain = DefaultPlainColor;
  TColor Hill = DefaultHillColor;
  TColor Mountain = DefaultMountainColor;
  double GridSize = DefaultGridSize;
  double Shadows = DefaultShadows;
  bool AutoRefresh = true;

  bool operator==(const TMapParameters&) const = default;
};

// The number field's range step: strict comparisons, and no range unless Min < Max. NaN, which
// lies in no range, gives Min.
constexpr double ClampValue(double v, TNumberRange Range) {
  if (!(Range.Min < Range.Max)) return v;
  if (v != v) return Range.Min;
  if (v < Range.Min) return Range.Min;
  if (v > Range.Max) return Range.Max;
  return v;
}

// To the nearest integer, halves to even (2.5 gives 2, 3.5 gives 4). Values beyond the 32-bit
// range give its nearest end, and NaN gives 0.
std::int32_t RoundHalfEven(double v);

// TownAmount / 10000, divided in extended precision and rounded to double. NaN and infinities
// pass through (the render rejects them).
double TownDensityOf(double TownAmount);

// The renderer's style for these parameters: the colours, the grid size and 51 - Shadows.
TMapStyle MapStyleOf(const TMapParameters& Params);

// The keys of a preset file, in the order it is written.
enum class TKeyKind { Number, Text, Color, Flag };

struct TParameterKey {
  std::string_view Name;
  std::string_view Section;
  TKeyKind Kind;
  double TMapParameters::*Number;  // Number keys
  TColor TMapParameters::*Color;   // Color keys
  TNumberRange Range;              // Number keys
  std::int32_t LoadDefault;        // what a preset without this key gives
};

extern const std::array<TParameterKey, 18> ParameterKeys;

// The key of that name, matched without regard to case; nullptr when there is none.
const TParameterKey* FindParameterKey(std::string_view Name);

// Sets a number key's value, brought into its range as its field brings it.
void SetNumber(TMapParameters& Params, const TParameterKey& Key, double Value);

}  // namespace hillograph
