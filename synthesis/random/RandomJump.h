// Many generator steps at once. The generator is linear, so k steps from a state s give
// A_k * s + C_k (mod 2^32) for constants that depend only on k.
#pragma once

#include <cstdint>

#include "synthesis/random/Random.h"

namespace hillograph {

struct TRandJump {
  std::uint32_t Multiplier;
  std::uint32_t Increment;

  constexpr std::uint32_t Apply(std::uint32_t state) const {
    return state * Multiplier + Increment;
  }
};

// The jump of Steps generator steps, by repeated squaring.
constexpr TRandJump RandJumpOf(std::uint64_t Steps) {
  TRandJump result{1u, 0u};
  TRandJump power{RandMultiplier, RandIncrement};
  for (; Steps != 0; Steps >>= 1) {
    if ((Steps & 1u) != 0) {
      result = {result.Multiplier * power.Multiplier,
                result.Increment * power.Multiplier + power.Increment};
    }
    power = {power.Multiplier * power.Multiplier,
             power.Increment * power.Multiplier + power.Increment};
  }
  return result;
}

}  // namespace hillograph
