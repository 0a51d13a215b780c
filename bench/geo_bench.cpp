// Geometry, tiling and filter timings on one 4096 x 4096 picture. Run with
// --write-ppm=<path> to write that picture for bench/geo_compare.sh, which
// times vips and ImageMagick on it beside these figures.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "imaging/Filters.h"
#include "imaging/GBlur.h"
#include "imaging/Geometry.h"
#include "bench/BenchPictures.h"
#include "imaging/PixelBuffer.h"
#include "imaging/Tiling.h"

namespace {

using vell::TPixelBuffer;

constexpr int kSide = 4096;

// Seeded noise over a gentle ramp: every byte differs, nothing is flat.
const TPixelBuffer& Picture() {
  static const TPixelBuffer b = vell::bench::NoisePicture(kSide);
  return b;
}

void Pixels(benchmark::State& state, int64_t pixels) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * pixels);
}

// In-place effects run on the same working copy over and over: their cost
// does not depend on the values.
void BM_Convolve3x3(benchmark::State& state) {
  TPixelBuffer img;
  vell::CopyPixelsTo(Picture(), img);
  const vell::TNamedKernel k = *vell::NamedKernel(12);  // Gaussian Soft, / 16
  for (auto _ : state) {
    vell::Convolve3x3(img, k.kernel, k.divisor);
    benchmark::ClobberMemory();
  }
  Pixels(state, int64_t{kSide} * kSide);
}
BENCHMARK(BM_Convolve3x3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Convolve3x3Divisor6(benchmark::State& state) {
  TPixelBuffer img;
  vell::CopyPixelsTo(Picture(), img);
  const vell::TNamedKernel k = *vell::NamedKernel(1);  // Soften Less, / 6
  for (auto _ : state) {
    vell::Convolve3x3(img, k.kernel, k.divisor);
    benchmark::ClobberMemory();
  }
  Pixels(state, int64_t{kSide} * kSide);
}
BENCHMARK(BM_Convolve3x3Divisor6)->Unit(benchmark::kMillisecond)->UseRealTime();

// Blurriness 2: radius 3, 17 taps each way.
void BM_GaussianBlur(benchmark::State& state) {
  TPixelBuffer img;
  vell::CopyPixelsTo(Picture(), img);
  for (auto _ : state) {
    vell::GaussianBlur(img, 2);
    benchmark::ClobberMemory();
  }
  Pixels(state, int64_t{kSide} * kSide);
}
BENCHMARK(BM_GaussianBlur)->Unit(benchmark::kMillisecond)->UseRealTime();

void Resize(benchmark::State& state, int side) {
  TPixelBuffer img;
  for (auto _ : state) {
    state.PauseTiming();
    vell::CopyPixelsTo(Picture(), img);
    state.ResumeTiming();
    vell::ResizeSmooth(img, side, side, false);
    benchmark::ClobberMemory();
  }
  Pixels(state, int64_t{side} * side);
}
void BM_ResizeSmoothHalf(benchmark::State& state) { Resize(state, kSide / 2); }
void BM_ResizeSmoothDouble(benchmark::State& state) { Resize(state, kSide * 2); }
BENCHMARK(BM_ResizeSmoothHalf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ResizeSmoothDouble)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RotateInto(benchmark::State& state) {
  TPixelBuffer out;
  out.Allocate(kSide, kSide, 0, 24);
  for (auto _ : state) {
    Picture().RotateInto(out, kSide / 2, kSide / 2, 30.0);
    benchmark::ClobberMemory();
  }
  Pixels(state, int64_t{kSide} * kSide);
}
BENCHMARK(BM_RotateInto)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EdgeMergeQuarter(benchmark::State& state) {
  TPixelBuffer img;
  vell::CopyPixelsTo(Picture(), img);
  for (auto _ : state) {
    vell::EdgeMerge(img, 4);
    benchmark::ClobberMemory();
  }
  Pixels(state, int64_t{kSide} * kSide);
}
BENCHMARK(BM_EdgeMergeQuarter)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reference point: one copy of the picture's memory.
void BM_Memcpy(benchmark::State& state) {
  TPixelBuffer img;
  vell::CopyPixelsTo(Picture(), img);
  for (auto _ : state) {
    std::memcpy(img.Bits(), Picture().Bits(), static_cast<size_t>(img.BytesPerLine()) * kSide);
    benchmark::ClobberMemory();
  }
  Pixels(state, int64_t{kSide} * kSide);
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  const std::string flag = "--write-ppm=";
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], flag.c_str(), flag.size()) == 0) return vell::bench::WritePpm(argv[i] + flag.size(), Picture()) ? 0 : 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
