// Two-colour gradient rendering on 4096 x 4096, every style, single thread,
// beside one plain pass over the same picture (every byte inverted) as the
// yardstick: a radial gradient should cost a few such passes, not a test of
// every pixel against every wedge. The multi-colour gradient, the colour
// wheel and the rainbow are timed too.
#include <benchmark/benchmark.h>

#include <string>

#include "dialogs/MultiGradient.h"
#include "dialogs/VellGradient.h"

namespace {

using vell::TGradientShape;
using vell::TGradientStyle;
using vell::TPixelBuffer;

constexpr int kSide = 4096;

TPixelBuffer& Picture() {
  static TPixelBuffer b = [] {
    TPixelBuffer p;
    p.Allocate(kSide, kSide, 0, 24);
    return p;
  }();
  return b;
}

void BM_OnePass(benchmark::State& state) {
  TPixelBuffer& b = Picture();
  for (auto _ : state) {
    for (int y = 0; y < kSide; ++y) {
      uint8_t* row = b.Row(y);
      for (int i = 0; i < kSide * 3; ++i) row[i] = static_cast<uint8_t>(~row[i]);
    }
    benchmark::DoNotOptimize(b.Bits());
  }
}
BENCHMARK(BM_OnePass)->Unit(benchmark::kMillisecond);

void BM_Gradient(benchmark::State& state) {
  TGradientShape shape;
  shape.GradientStyle = static_cast<TGradientStyle>(state.range(0));
  shape.StartAngle = 30;
  TPixelBuffer& b = Picture();
  for (auto _ : state) {
    vell::RenderGradient(b, shape);
    benchmark::DoNotOptimize(b.Bits());
  }
  static const char* const names[] = {"Horizontal", "Vertical", "Elliptic", "Rectangle",
                                      "VertCenter", "HorizCenter", "Radial1", "Radial2"};
  state.SetLabel(names[state.range(0)]);
}
BENCHMARK(BM_Gradient)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

void BM_MultiGradient(benchmark::State& state) {
  TPixelBuffer& b = Picture();
  const std::vector<vell::TGradientMarker> markers = {{500, 0xFF00FF}, {1800, 0xFFFF00}, {3000, 0x0000FF}};
  for (auto _ : state) {
    vell::RenderMultiGradient(b, markers, 0);
    benchmark::DoNotOptimize(b.Bits());
  }
}
BENCHMARK(BM_MultiGradient)->Unit(benchmark::kMillisecond);

void BM_Rainbow(benchmark::State& state) {
  TPixelBuffer& b = Picture();
  for (auto _ : state) {
    vell::Rainbow(b);
    benchmark::DoNotOptimize(b.Bits());
  }
}
BENCHMARK(BM_Rainbow)->Unit(benchmark::kMillisecond);

void BM_ColorWheel(benchmark::State& state) {
  TPixelBuffer wheel;
  for (auto _ : state) {
    vell::ColorWheel(wheel);
    benchmark::DoNotOptimize(wheel.Bits());
  }
}
BENCHMARK(BM_ColorWheel)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
