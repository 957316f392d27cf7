// The random source: one 32-bit linear congruential generator whose every step is part of the
// picture's contract. The same seed must give the same draws on every machine.
#pragma once

#include <cstdint>

namespace hillograph {

// Generator state, one per thread, so that renders on several threads draw independently; a
// program that works on one thread sees one generator. 0 until first seeded.
extern constinit thread_local std::uint32_t RandSeed;

inline constexpr std::uint32_t RandMultiplier = 134775813u;
inline constexpr std::uint32_t RandIncrement = 1u;

// One generator step on a given state.
constexpr std::uint32_t NextRandState(std::uint32_t state) {
  return state * RandMultiplier + RandIncrement;
}

// 0 .. n-1 (n taken as unsigned; 0 for n = 0): the high half of new state * n.
inline std::int32_t Random(std::int32_t n) {
  RandSeed = NextRandState(RandSeed);
  return static_cast<std::int32_t>(
      (static_cast<std::uint64_t>(RandSeed) * static_cast<std::uint32_t>(n)) >> 32);
}

// k / 2^32 for the new state k: exact in double, in [0, 1).
inline double Random() {
  RandSeed = NextRandState(RandSeed);
  return static_cast<double>(RandSeed) * 0x1p-32;
}

// Seeds RandSeed from the low 32 bits of a high-resolution clock.
void Randomize();

}  // namespace hillograph
