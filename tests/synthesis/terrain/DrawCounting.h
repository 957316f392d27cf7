// Replaying the generator's draws in tests.
#pragma once

#include <cstdint>

#include "synthesis/random/Random.h"

namespace hillograph::testing {

// The state after Steps steps from State.
inline std::uint32_t StateAfter(std::uint32_t State, long long Steps) {
  while (Steps-- > 0)
    State = NextRandState(State);
  return State;
}

}  // namespace hillograph::testing
