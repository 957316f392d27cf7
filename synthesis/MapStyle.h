// The renderer's ten style settings, assigned by the render request before every render.
#pragma once

#include <cstdint>

#include "synthesis/base/Color.h"

namespace hillograph {

struct TMapStyle {
  TColor LandBorderColor;
  TColor MapFrameColor;
  TColor GridColor;
  TColor SeaMinColor;
  TColor SeaMaxColor;
  TColor PlainColor;
  TColor HillColor;
  TColor MountainColor;
  std::int32_t GridSize;       // distance between grid lines, at least 1
  std::int32_t ShadowDivisor;  // drop at which a land pixel turns black, at least 1
};

// The look of the map when the program starts: the one place these colours are set.
inline constexpr TColor DefaultLandBorderColor = RGB(0, 48, 48);
inline constexpr TColor DefaultMapFrameColor = RGB(32, 32, 32);
inline constexpr TColor DefaultGridColor = RGB(32, 80, 160);
inline constexpr TColor DefaultSeaMinColor = RGB(80, 128, 240);
inline constexpr TColor DefaultSeaMaxColor = RGB(112, 144, 255);
inline constexpr TColor DefaultPlainColor = RGB(124, 193, 86);
inline constexpr TColor DefaultHillColor = RGB(201, 207, 36);
inline constexpr TColor DefaultMountainColor = RGB(128, 112, 16);
inline constexpr std::int32_t DefaultGridSize = 80;
inline constexpr std::int32_t DefaultShadows = 30;
inline constexpr std::int32_t ShadowDivisorBase = 51;  // ShadowDivisor = 51 - Shadows

inline constexpr TMapStyle DefaultMapStyle{
    DefaultLandBorderColor, DefaultMapFrameColor,
    DefaultGridColor,       DefaultSeaMinColor,
    DefaultSeaMaxColor,     DefaultPlainColor,
    DefaultHillColor,       DefaultMountainColor,
    DefaultGridSize,        ShadowDivisorBase - DefaultShadows};

// The settings GenerateMap reads, one set per thread like the generator state; they keep their
// values between renders on the same thread.
extern constinit thread_local TMapStyle MapStyle;

}  // namespace hillograph
