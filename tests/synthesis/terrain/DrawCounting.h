// Counting and replaying the generator's draws in tests.
#pragma once

#include <cstdint>

#include "synthesis/random/Random.h"

namespace hillograph::testing {

// How many generator steps lead from the state From to the state To; -1 when more than Limit.
inline int StepsBetween(std::uint32_t From, std::uint32_t To, int Limit = 1000) {
  for (int steps = 0; steps <= Limit; ++steps, From = NextRandState(From))
    if (From == To) return steps;
  return -1;
}

// The state after Steps steps from State.
inline std::uint32_t StateAfter(std::uint32_t State, long long Steps) {
  while (Steps-- > 0)
    State = NextRandState(State);
  return State;
}

}  // namespace hillograph::testing
