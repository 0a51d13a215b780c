// The seam score of a 4096 x 4096 tile: one pass over every pixel with its
// right and lower neighbour. bench/seam_compare.sh runs it beside ImageMagick
// and libvips computing the same neighbour differences.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench/BenchPictures.h"
#include "imaging/Seam.h"

namespace {

using namespace vell;

constexpr int kSide = 4096;

void Fill(TPixelBuffer& b) { bench::FillNoise(b); }

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
