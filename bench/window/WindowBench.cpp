// The window's render path: RenderMap with the busy pointer, the status text and the picture
// painted, on the offscreen platform.
#include <benchmark/benchmark.h>

#include <QCheckBox>
#include <QTest>

#include "bench/PlasmaLiteral.h"
#include "ui/Application.h"
#include "ui/Main.h"
#include "ui/NumberEdit.h"

namespace hillograph {
namespace {

void BM_RenderMapWindow(benchmark::State& state) {
  TfrmMain window;
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) state.SkipWithError("the window was not shown");
  window.cbAutoRefresh->setChecked(false);
  window.neWidth->SetValue(static_cast<double>(state.range(0)));
  window.neHeight->SetValue(static_cast<double>(state.range(1)));
  window.resize(state.range(0) + 40, state.range(1) + 240);  // the whole map in view
  for (auto _ : state)
    window.RenderMap();
}

// The yardstick the window's figures are read against, run in the same program.
void BM_PlasmaLiteral(benchmark::State& state) {
  RunPlasmaLiteral(state);
}

BENCHMARK(BM_RenderMapWindow)->Args({640, 480})->Args({1000, 1000})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlasmaLiteral)->Args({1000, 1000})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hillograph

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  hillograph::TApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
