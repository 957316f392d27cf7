// The plasma's displacement draws, made ahead of use: independent generator lanes produce them
// side by side instead of one dependent multiply after another, with the same values as the
// draws Random(Diversity) and Random(2) made one by one.
#pragma once

#include <cstddef>
#include <cstdint>

namespace hillograph {

// One displacement as drawn: the magnitude Random(Diversity) in the low 15 bits, and Random(2),
// the sign, in the top bit. The recursion shifts the magnitude by the depth of the cell.
using TPlasmaDraw = std::uint16_t;
inline constexpr TPlasmaDraw DrawMagnitudeMask = 0x7FFF;
inline constexpr int DrawSignShift = 15;

// The largest Diversity the draws take: magnitudes then fit in 15 bits. The map asks for at most
// 1000.
inline constexpr std::int32_t MaxDiversity = 1 << 15;

// What a displaced cell adds to the sum of its two neighbours: 2 * offset + 1, where offset is the
// magnitude >> depth, negated when the sign is set, and cut to +-MaxUsefulOffset: a mean of
// 1 .. 255 plus a larger offset clamps to the same height either way. With the rounding 1 folded
// in, the cell is the clamp of (a + b + displacement) >> 1.
using TDisplacement = std::int16_t;
inline constexpr std::int32_t MaxUsefulOffset = 255;

// Depths run from 1 to MaxDrawDepth; (magnitude * DepthScale(depth)) >> 16 is magnitude >> depth.
inline constexpr std::int32_t MaxDrawDepth = 16;
constexpr std::uint16_t DepthScale(std::int32_t Depth) {
  return static_cast<std::uint16_t>(1u << (MaxDrawDepth - Depth));
}

// Writes Count draws, the first drawn from State, and returns the state after the last one
// (2 * Count generator steps later). Diversity is 0 .. MaxDiversity.
std::uint32_t FillDraws(std::uint32_t State, std::int32_t Diversity, std::size_t Count,
                        TPlasmaDraw* Out);

// Turns Count draws into displacements, one per entry of Scales (the DepthScale of the displaced
// cell). Out may be Draws.
void ScaleDraws(const TPlasmaDraw* Draws, const std::uint16_t* Scales, std::size_t Count,
                TDisplacement* Out);

}  // namespace hillograph
