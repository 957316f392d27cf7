#include "parameters/MapParameters.h"

#include <cmath>
#include <limits>

#include "parameters/IgnoreCase.h"
#include "synthesis/base/ExtendedMath.h"

namespace hillograph {

namespace {

constexpr TParameterKey NumberKey(std::string_view name, double TMapParameters::*member,
                                  TNumberRange range, std::int32_t loadDefault) {
  return {name, "Params", TKeyKind::Number, member, nullptr, range, loadDefault};
}

constexpr TParameterKey StyleNumberKey(std::string_view name, double TMapParameters::*member,
                                       TNumberRange range, std::int32_t loadDefault) {
  return {name, "Style", TKeyKind::Number, member, nullptr, range, loadDefault};
}

constexpr TParameterKey ColorKey(std::string_view name, TColor TMapParameters::*member) {
  return {name, "Style", TKeyKind::Color, nullptr, member, {}, 0};  // a missing colour is black
}

}  // namespace

// A preset that lacks a key gives these defaults, which are not all the start-up values.
const std::array<TParameterKey, 18> ParameterKeys = {{
    NumberKey("Width", &TMapParameters::Width, WidthRange, 100),
    NumberKey("Height", &TMapParameters::Height, HeightRange, 100),
    NumberKey("RandSeed", &TMapParameters::RandSeed, RandSeedRange, 0),
    NumberKey("Diversity", &TMapParameters::Diversity, DiversityRange, 500),
    NumberKey("WaterAmount", &TMapParameters::WaterAmount, WaterAmountRange, 150),
    NumberKey("TownAmount", &TMapParameters::TownAmount, TownAmountRange, 30),
    {"TownDB", "Params", TKeyKind::Text, nullptr, nullptr, {}, 0},
    ColorKey("LandBorder", &TMapParameters::LandBorder),
    ColorKey("MapFrame", &TMapParameters::MapFrame),
    ColorKey("Grid", &TMapParameters::Grid),
    ColorKey("SeaMin", &TMapParameters::SeaMin),
    ColorKey("SeaMax", &TMapParameters::SeaMax),
    ColorKey("Plain", &TMapParameters::Plain),
    ColorKey("Hill", &TMapParameters::Hill),
    ColorKey("Mountain", &TMapParameters::Mountain),
    StyleNumberKey("GridSize", &TMapParameters::GridSize, GridSizeRange, 80),
    StyleNumberKey("Shadows", &TMapParameters::Shadows, ShadowsRange, 10),
    {"AutoRefresh", "x", TKeyKind::Flag, nullptr, nullptr, {}, 1},
}};

std::int32_t RoundHalfEven(double v) {
  if (std::isnan(v)) return 0;
  constexpr double Lowest = std::numeric_limits<std::int32_t>::min();
  constexpr double Highest = std::numeric_limits<std::int32_t>::max();
  if (v <= Lowest) return std::numeric_limits<std::int32_t>::min();
  if (v >= Highest) return std::numeric_limits<std::int32_t>::max();
  double whole = std::floor(v);
  const double fraction = v - whole;  // exact below 2^52
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  return static_cast<std::int32_t>(whole);
}

double TownDensityOf(double TownAmount) {
  if (!std::isfinite(TownAmount)) return TownAmount / TownAmountPerDensity;
  const TDoubleParts amount = SplitDouble(TownAmount);
  const double density = ExtendedQuotientToDouble(
      amount.Mantissa, static_cast<std::uint64_t>(TownAmountPerDensity), amount.Exponent);
  return TownAmount < 0 ? -density : density;
}

TMapStyle MapStyleOf(const TMapParameters& Params) {
  return {Params.LandBorder,
          Params.MapFrame,
          Params.Grid,
          Params.SeaMin,
          Params.SeaMax,
          Params.Plain,
          Params.Hill,
          Params.Mountain,
          RoundHalfEven(Params.GridSize),
          ShadowDivisorBase - RoundHalfEven(Params.Shadows)};
}

const TParameterKey* FindParameterKey(std::string_view Name) {
  for (const TParameterKey& key : ParameterKeys) {
    if (EqualIgnoringCase(key.Name, Name)) return &key;
  }
  return nullptr;
}

void SetNumber(TMapParameters& Params, const TParameterKey& Key, double Value) {
  Params.*Key.Number = ClampValue(Value, Key.Range);
}

}  // namespace hillograph
