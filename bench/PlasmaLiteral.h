// The literal plasma recursion that the tests hold the product's field to: the yardstick every
// benchmark program runs, so that figures from noisy machines are compared as ratios to it.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

#include "oracles/PlasmaOracle.h"
#include "synthesis/random/Random.h"

namespace hillograph {

inline constexpr std::uint32_t PlasmaBenchSeed = 123456789;
inline constexpr std::int32_t PlasmaBenchDiversity = 700;

// A Width x Height field (the benchmark's two arguments) per iteration.
inline void RunPlasmaLiteral(benchmark::State& state) {
  for (auto _ : state) {
    RandSeed = PlasmaBenchSeed;
    const testing::TPlasmaOracle field(static_cast<std::int32_t>(state.range(0)),
                                       static_cast<std::int32_t>(state.range(1)),
                                       PlasmaBenchDiversity);
    benchmark::DoNotOptimize(field.Heights.Data());
  }
}

}  // namespace hillograph
