// The plasma's draws made ahead of use. The generator is linear: k steps from state s give
// A_k * s + C_k, so several lanes can each run k states apart and produce draws side by side
// instead of one dependent multiply after another. The values are exactly those of Random(n).
#pragma once

#include <cstddef>
#include <cstdint>

#include "synthesis/Random.h"

namespace hillograph {

// k generator steps at once: state -> state * Multiplier + Increment.
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

// One displacement's two draws, Random(Diversity) then Random(2), folded into one value: the
// magnitude m when the sign draw is 0, and ~m (that is -m - 1) when it is 1. Arithmetic shifts
// commute with ~, so the signed offset at a depth d is (Draw >> d) + (1 when Draw < 0): exactly
// -(m >> d) or m >> d.
using TDisplacementDraw = std::int32_t;

constexpr std::int32_t DisplacementOffset(TDisplacementDraw Draw, std::int32_t Depth) {
  return (Draw >> Depth) + static_cast<std::int32_t>(static_cast<std::uint32_t>(Draw) >> 31);
}

// Writes Count displacement draws that start at State into Out and returns the state after the
// last of them (2 * Count steps later).
std::uint32_t FillDisplacementDraws(std::uint32_t State, std::int32_t Diversity, std::size_t Count,
                                    TDisplacementDraw* Out);

}  // namespace hillograph
