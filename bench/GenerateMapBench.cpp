// Timings of a whole render and of the height field alone.
#include <benchmark/benchmark.h>

#include "parameters/MapParameters.h"
#include "parameters/RenderRequest.h"
#include "synthesis/Plasma.h"
#include "synthesis/Random.h"

namespace hillograph {
namespace {

void RenderWithTowns(benchmark::State& state, double townAmount) {
  TMapParameters params;
  params.Width = static_cast<double>(state.range(0));
  params.Height = static_cast<double>(state.range(1));
  params.TownAmount = townAmount;
  TPicture picture;
  for (auto _ : state) {
    RenderMapParameters(picture, params);
    benchmark::DoNotOptimize(picture.Bits());
  }
}

void BM_GenerateMap(benchmark::State& state) {
  RenderWithTowns(state, TMapParameters{}.TownAmount);
}
void BM_GenerateMapNoTowns(benchmark::State& state) {
  RenderWithTowns(state, 0);
}
void BM_GenerateMapDense(benchmark::State& state) {
  RenderWithTowns(state, 10000);
}

void BM_Plasma(benchmark::State& state) {
  for (auto _ : state) {
    RandSeed = 123456789;
    const TPlasmaFractal plasma(static_cast<std::int32_t>(state.range(0)),
                                static_cast<std::int32_t>(state.range(1)), 700);
    benchmark::DoNotOptimize(plasma.Heights.Data());
  }
}

BENCHMARK(BM_GenerateMap)->Args({640, 480})->Args({1000, 1000})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GenerateMapNoTowns)
    ->Args({640, 480})
    ->Args({1000, 1000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GenerateMapDense)->Args({1000, 1000})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Plasma)->Args({1000, 1000})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hillograph

BENCHMARK_MAIN();
