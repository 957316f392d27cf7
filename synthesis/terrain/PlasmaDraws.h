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

// Writes Count draws, the first drawn from State, and returns the state after the last one
// (2 * Count generator steps later). Diversity is 0 .. MaxDiversity.
std::uint32_t FillDraws(std::uint32_t State, std::int32_t Diversity, std::size_t Count,
                        TPlasmaDraw* Out);

}  // namespace hillograph
