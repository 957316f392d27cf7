#include "synthesis/random/Random.h"

#include <chrono>

namespace hillograph {

constinit thread_local std::uint32_t RandSeed = 0;

void Randomize() {
  // The steady clock counts nanoseconds on every platform we build for; its low 32 bits differ
  // from run to run, which is all that seeding needs.
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  RandSeed = static_cast<std::uint32_t>(ticks);
}

}  // namespace hillograph
