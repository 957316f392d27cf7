// Timings of a whole render, and of the height field and the town pass alone.
#include <benchmark/benchmark.h>

#include <chrono>
#include <optional>

#include "bench/PlasmaLiteral.h"
#include "parameters/MapParameters.h"
#include "parameters/RenderRequest.h"
#include "synthesis/parallel/WorkerTeam.h"
#include "synthesis/random/Random.h"
#include "synthesis/relief/Relief.h"
#include "synthesis/terrain/Plasma.h"
#include "synthesis/terrain/PlasmaPlan.h"
#include "synthesis/towns/Towns.h"

namespace hillograph {
namespace {

// Renders one after another on a team kept throughout, as the window keeps one: as many members as
// the machine has processors, spinning briefly.
void RenderWithTowns(benchmark::State& state, double townAmount,
                     std::int32_t members = AvailableProcessors(),
                     std::chrono::microseconds spin = ShortTeamSpin) {
  TMapParameters params;
  params.Width = static_cast<double>(state.range(0));
  params.Height = static_cast<double>(state.range(1));
  params.TownAmount = townAmount;
  TWorkerTeam team(members, spin);
  TPicture picture;
  for (auto _ : state) {
    RenderMapParameters(picture, params, nullptr, {.Team = &team});
    benchmark::DoNotOptimize(picture.Bits());
  }
}

void BM_GenerateMap(benchmark::State& state) {
  RenderWithTowns(state, TMapParameters{}.TownAmount);
}
// On one thread, as the browser page's WebAssembly build renders (scripts/bench-web).
void BM_GenerateMapOneThread(benchmark::State& state) {
  RenderWithTowns(state, TMapParameters{}.TownAmount, 1);
}
void BM_GenerateMapNoTowns(benchmark::State& state) {
  RenderWithTowns(state, 0);
}
void BM_GenerateMapDense(benchmark::State& state) {
  RenderWithTowns(state, 10000);
}
// The processor time of a render over all threads, on one thread (members 1) and on a team of as
// many members as the machine has processors (0) that spins as the window's does or as a single
// run's (the fourth argument, in microseconds): what the team costs beside the work itself.
void BM_GenerateMapCpu(benchmark::State& state) {
  const auto members = static_cast<std::int32_t>(state.range(2));
  RenderWithTowns(state, TMapParameters{}.TownAmount, members > 0 ? members : AvailableProcessors(),
                  std::chrono::microseconds{state.range(3)});
}

// The town pass alone, over the default map's land at a given size.
void BM_TownPass(benchmark::State& state) {
  const auto width = static_cast<std::int32_t>(state.range(0));
  const auto height = static_cast<std::int32_t>(state.range(1));
  const double density = TownDensityOf(static_cast<double>(state.range(2)));
  const TMapParameters defaults;
  RandSeed = static_cast<std::uint32_t>(defaults.RandSeed);
  const TPlasmaFractal plasma(width, height, RoundHalfEven(defaults.Diversity));
  const std::uint32_t afterPlasma = RandSeed;
  const std::int32_t waterLevel = RoundHalfEven(defaults.WaterAmount);
  TPicture picture;
  picture.SetSize(width, height);
  std::int64_t towns = 0;
  for (auto _ : state) {
    RandSeed = afterPlasma;
    TCanvas canvas(picture);
    TNameGen names;
    TTownList placed;
    DrawTowns(canvas, plasma.Heights, waterLevel, density, names, &placed);
    towns = static_cast<std::int64_t>(placed.size());
    benchmark::DoNotOptimize(picture.Bits());
  }
  state.counters["towns"] = static_cast<double>(towns);
}

// The product's height field on a team of so many threads, by the recursion or by replaying the
// size's plan (the fourth argument 1), and the literal recursion that the tests hold it to.
void BM_Plasma(benchmark::State& state) {
  const auto width = static_cast<std::int32_t>(state.range(0));
  const auto height = static_cast<std::int32_t>(state.range(1));
  TWorkerTeam team(static_cast<std::int32_t>(state.range(2)), ShortTeamSpin);
  const std::optional<TPlasmaPlan> plan =
      state.range(3) != 0 ? std::optional<TPlasmaPlan>(std::in_place, width, height) : std::nullopt;
  for (auto _ : state) {
    RandSeed = PlasmaBenchSeed;
    const TPlasmaFractal field(width, height, PlasmaBenchDiversity, &team, plan ? &*plan : nullptr);
    benchmark::DoNotOptimize(field.Heights.Data());
  }
}
void BM_PlasmaLiteral(benchmark::State& state) {
  RunPlasmaLiteral(state);
}

BENCHMARK(BM_GenerateMap)->Args({640, 480})->Args({1000, 1000})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GenerateMapOneThread)->Args({1000, 1000})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GenerateMapNoTowns)
    ->Args({640, 480})
    ->Args({1000, 1000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GenerateMapDense)->Args({1000, 1000})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GenerateMapCpu)
    ->Args({1000, 1000, 1, 0})
    ->Args({1000, 1000, 0, 0})
    ->Args({1000, 1000, 0, ShortTeamSpin.count()})
    ->Args({1000, 1000, 0, LongTeamSpin.count()})
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TownPass)
    ->Args({640, 480, 30})
    ->Args({1000, 1000, 30})
    ->Args({1000, 1000, 10000})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Plasma)->ArgsProduct({{1000}, {1000}, {1, 2}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlasmaLiteral)->Args({1000, 1000})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hillograph

BENCHMARK_MAIN();
