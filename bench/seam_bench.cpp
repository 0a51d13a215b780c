// The seam score of a 4096 x 4096 tile: one pass over every pixel with its
// right and lower neighbour. bench/seam_compare.sh runs it beside ImageMagick
// and libvips computing the same neighbour differences.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "imaging/Seam.h"

namespace {

using namespace vell;

constexpr int kSide = 4096;

void Fill(TPixelBuffer& b) {
  uint32_t state = 12345;
  for (int y = 0; y < b.Height(); ++y) {
    uint8_t* row = b.Row(y);
    for (int i = 0; i < 3 * b.Width(); ++i) {
      state = state * 1103515245u + 12345u;
      row[i] = static_cast<uint8_t>(state >> 24);
    }
  }
}

void BM_MeasureSeam(benchmark::State& state) {
  TPixelBuffer tile;
  tile.Allocate(kSide, kSide, 0, 24);
  Fill(tile);
  for (auto _ : state) {
    TSeamMeasure m = MeasureSeam(tile);
    benchmark::DoNotOptimize(m);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSide * kSide * 3);
}
BENCHMARK(BM_MeasureSeam)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
