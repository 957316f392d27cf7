// The colours of the relief by height: a two-colour sea gradient and a three-colour land ramp.
#pragma once

#include <array>
#include <cstdint>

#include "synthesis/base/Color.h"

namespace hillograph {

struct TMapStyle;

using THeightColors = std::array<TColor, 256>;

// The colour the fraction S (0 .. 1) of the way from A to B; each channel rounds half to even.
TColor BlendColor(TColor A, TColor B, double S);

// The land ramp from Plain through Hill (at 60 %) to Mountain, for T in (0, 1].
TColor LandColor(const TMapStyle& Style, double T);

// One colour per height 0 .. 255 for the given water level.
THeightColors BuildHeightColors(const TMapStyle& Style, std::int32_t WaterLevel);

}  // namespace hillograph
