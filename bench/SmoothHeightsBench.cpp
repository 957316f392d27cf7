// The smooth heightmap of the default map: its time on a team of so many members, and its figures
// beside the plain heightmap's.
#include <benchmark/benchmark.h>

#include "oracles/SmoothHeightsOracle.h"
#include "oracles/SurfaceFigures.h"
#include "parameters/MapParameters.h"
#include "parameters/RenderRequest.h"
#include "synthesis/raster/Heightmap.h"
#include "synthesis/terrain/SmoothHeights.h"

namespace hillograph {
namespace {

THeightField DefaultMapHeights(std::int32_t width, std::int32_t height) {
  TMapParameters params;
  params.Width = width;
  params.Height = height;
  TPicture picture;
  THeightField heights;
  RenderMapParameters(picture, params, nullptr, {.Heights = &heights});
  return heights;
}

void Report(benchmark::State& state, const char* prefix, const testing::TSurfaceFigures& f) {
  const std::string p = prefix;
  state.counters[p + "Distinct"] = static_cast<double>(f.DistinctValues);
  state.counters[p + "EqualPct"] = 100 * f.EqualShare();
  state.counters[p + "MaxStep"] = f.LargestStep;
}

// Arguments: the side, the cycles on every level, the team's members.
void BM_SmoothHeights(benchmark::State& state) {
  const auto side = static_cast<std::int32_t>(state.range(0));
  const THeightField heights = DefaultMapHeights(side, side);
  TWorkerTeam team(static_cast<std::int32_t>(state.range(2)));
  TSmoothHeightField samples;
  for (auto _ : state) {
    samples = SmoothHeights(heights, &team, static_cast<std::int32_t>(state.range(1)));
    benchmark::DoNotOptimize(samples.Data());
  }
  Report(state, "plain", testing::MeasureSurface(testing::PlainSamples(heights)));
  Report(state, "smooth", testing::MeasureSurface(samples));
  state.counters["offHeight"] = static_cast<double>(testing::CellsOffTheirHeight(heights, samples));
}

void BM_SmoothHeightsLiteral(benchmark::State& state) {
  const THeightField heights = DefaultMapHeights(1000, 1000);
  for (auto _ : state) {
    const testing::TSmoothHeightsOracle oracle(heights, DefaultSmoothCycles);
    benchmark::DoNotOptimize(oracle.Samples.Data());
  }
}

BENCHMARK(BM_SmoothHeights)
    ->Args({1000, DefaultSmoothCycles, 1})
    ->Args({1000, DefaultSmoothCycles, 2})
    ->Args({1000, 4 * DefaultSmoothCycles, 2})
    ->Args({1000, 16 * DefaultSmoothCycles, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmoothHeightsLiteral)->Unit(benchmark::kMillisecond);

// The default map's heightmap as PNG, its plain samples (argument 0) or smooth ones (1), once the
// samples are made: the time the file adds, and its size.
void BM_HeightmapPng(benchmark::State& state) {
  const THeightField heights = DefaultMapHeights(1000, 1000);
  const TSmoothHeightField smooth = SmoothHeights(heights);
  std::size_t bytes = 0;
  for (auto _ : state) {
    TStringSink png;
    if (state.range(0) == 0) {
      WriteHeightmap(heights, THeightmapFormat::Png, png);
    } else {
      WriteHeightmap(smooth, THeightmapFormat::Png, png);
    }
    bytes = png.Text.size();
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

BENCHMARK(BM_HeightmapPng)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hillograph
