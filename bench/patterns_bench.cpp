// Pattern generator timings on one 4096 x 4096 picture, single thread. Run with
// --write-ppm=<path> to write that picture for bench/patterns_compare.sh, which
// times the nearest ImageMagick and vips operations on it beside these figures.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "imaging/Patterns.h"
#include "bench/BenchPictures.h"
#include "imaging/PixelBuffer.h"

namespace {

using vell::TPixelBuffer;

constexpr int kSide = 4096;

// Seeded noise over a gentle ramp: every byte differs, nothing is flat.
const TPixelBuffer& Picture() {
  static const TPixelBuffer b = vell::bench::NoisePicture(kSide);
  return b;
}

// A second picture for the merges: the first one upside down.
const TPixelBuffer& Other() {
  static TPixelBuffer b = [] {
    TPixelBuffer p;
    vell::CopyPixelsTo(Picture(), p);
    p.FlipRows();
    return p;
  }();
  return b;
}

// The gradient picture: smaller than the working image, so it is stretched.
const TPixelBuffer& Gradient() {
  static TPixelBuffer b = [] {
    TPixelBuffer p;
    p.Allocate(640, 480, 0, 24);
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) p.Row24(y)[x] = vell::TRGB24{static_cast<uint8_t>(x / 3), static_cast<uint8_t>(y / 2), 90};
    return p;
  }();
  return b;
}

// Each run starts from a fresh copy of the picture (not timed): several
// generators depend on what they draw over.
void Run(benchmark::State& state, const std::function<void(TPixelBuffer&)>& effect) {
  TPixelBuffer img;
  for (auto _ : state) {
    state.PauseTiming();
    vell::CopyPixelsTo(Picture(), img);
    state.ResumeTiming();
    effect(img);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kSide * kSide);
}

#define VELL_PATTERN_BENCH(name, body)                                        \
  void name(benchmark::State& state) { Run(state, [](TPixelBuffer& i) { body; }); } \
  BENCHMARK(name)->Unit(benchmark::kMillisecond)->UseRealTime()

// Defaults of the parameter panel unless noted.
VELL_PATTERN_BENCH(BM_PlasmaCloud, vell::PlasmaCloud(i, 700));
VELL_PATTERN_BENCH(BM_Marble, vell::Marble(i, 700, 30, 2.0));
VELL_PATTERN_BENCH(BM_SuperNova, vell::SuperNova(i, 0x3080F0, 32, 64, 32, 2048, 2048));
VELL_PATTERN_BENCH(BM_Mosaic, vell::Mosaic(i, 3));
VELL_PATTERN_BENCH(BM_Mosaic16, vell::Mosaic(i, 16));
VELL_PATTERN_BENCH(BM_CircleMosaic, vell::CircleMosaic(i, 6));
VELL_PATTERN_BENCH(BM_CycloidMosaic, vell::CycloidMosaic(i, 3));
VELL_PATTERN_BENCH(BM_ConcentricRects, vell::ConcentricRects(i, 25));
VELL_PATTERN_BENCH(BM_Astroid, vell::Astroid(i, 5));
VELL_PATTERN_BENCH(BM_Buttonize, vell::Buttonize(i, 0x000000, 0xFFFFFF, 20));
VELL_PATTERN_BENCH(BM_Spray, vell::Spray(i, 15));
VELL_PATTERN_BENCH(BM_Trace, vell::Trace(i, 1, 0x000000));
VELL_PATTERN_BENCH(BM_Trace2, vell::Trace(i, 2, 0x000000));
VELL_PATTERN_BENCH(BM_GradientBars, vell::GradientBars(i, 3, 0x0000FF, 0xFF0000));
VELL_PATTERN_BENCH(BM_MergeBuffer, vell::MergeBuffer(i, 50, Other()));
VELL_PATTERN_BENCH(BM_MergeGradient, vell::MergeGradient(i, 50, Gradient()));

// Reference point: the untimed copy's cost, timed.
void BM_Memcpy(benchmark::State& state) {
  TPixelBuffer img;
  vell::CopyPixelsTo(Picture(), img);
  for (auto _ : state) {
    std::memcpy(img.Bits(), Picture().Bits(), static_cast<size_t>(img.BytesPerLine()) * kSide);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kSide * kSide);
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

// --write-ppm=<path> writes the picture, --write-other-ppm=<path> the merges' second one.
int main(int argc, char** argv) {
  const std::string flag = "--write-ppm=", other = "--write-other-ppm=";
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], flag.c_str(), flag.size()) == 0) return vell::bench::WritePpm(argv[i] + flag.size(), Picture()) ? 0 : 1;
    if (std::strncmp(argv[i], other.c_str(), other.size()) == 0)
      return vell::bench::WritePpm(argv[i] + other.size(), Other()) ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
