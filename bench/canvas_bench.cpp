// Canvas timings on 4096 x 4096 pictures, against one plain read-modify-write
// pass over the same memory (BM_ReadWritePass): the flood fills should stay
// under three passes. Run with --write-ppm=<path> (the walled picture) or
// --write-flat-ppm=<path> (the black one) for bench/canvas_compare.sh.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "imaging/Canvas.h"
#include "imaging/PixelBuffer.h"

namespace {

using vell::TCanvas;
using vell::TPixelBuffer;

constexpr int kSide = 4096;
constexpr uint32_t kWall = 0xFFFFFF;

// Black with about 3 % white wall pixels: the fill still reaches nearly
// everything, but its spans break up all the time.
TPixelBuffer Walled() {
  TPixelBuffer p;
  p.Allocate(kSide, kSide, 0, 24);
  TCanvas c(p);
  uint32_t state = 12345;
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      state = state * 1103515245u + 12345u;
      c.SetPixel(x, y, (state >> 16) % 100 < 3 ? kWall : 0);
    }
  c.SetPixel(1, 1, 0);
  return p;
}

TPixelBuffer Flat() {
  TPixelBuffer p;
  p.Allocate(kSide, kSide, 0, 24);
  std::memset(p.Bits(), 0, static_cast<size_t>(p.BytesPerLine()) * kSide);
  return p;
}

void Bytes(benchmark::State& state, const TPixelBuffer& b) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * b.BytesPerLine() * b.Height());
}

void BM_ReadWritePass(benchmark::State& state) {
  TPixelBuffer a = Flat();
  for (auto _ : state) {
    for (int r = 0; r < kSide; ++r) {
      uint8_t* __restrict p = a.Row(r);
      for (int i = 0; i < kSide * 3; ++i) p[i] = static_cast<uint8_t>(p[i] + 1);
    }
    benchmark::ClobberMemory();
  }
  Bytes(state, a);
}
BENCHMARK(BM_ReadWritePass)->Unit(benchmark::kMillisecond);

// Each round fills the same area back and forth between two colours.
void Fill(benchmark::State& state, TPixelBuffer& a, bool wrap) {
  TCanvas c(a);
  c.Wrap = wrap;
  uint32_t colours[2] = {0x3080F0, 0};
  int k = 0;
  for (auto _ : state) {
    c.Brush.Color = colours[k ^= 1];
    c.FloodFill(1, 1);
    benchmark::ClobberMemory();
  }
  Bytes(state, a);
}

void BM_FloodFillFlat(benchmark::State& state) {
  TPixelBuffer a = Flat();
  Fill(state, a, false);
}
BENCHMARK(BM_FloodFillFlat)->Unit(benchmark::kMillisecond);

void BM_FloodFillWalled(benchmark::State& state) {
  TPixelBuffer a = Walled();
  Fill(state, a, false);
}
BENCHMARK(BM_FloodFillWalled)->Unit(benchmark::kMillisecond);

void BM_FloodFillWalledWrapped(benchmark::State& state) {
  TPixelBuffer a = Walled();
  Fill(state, a, true);
}
BENCHMARK(BM_FloodFillWalledWrapped)->Unit(benchmark::kMillisecond);

// One freehand step of a 9-pixel pen: its cost follows the stroke, not the picture.
void BM_FreehandStep(benchmark::State& state) {
  TPixelBuffer a = Flat();
  TCanvas c(a);
  c.Pen.Width = 9;
  c.Pen.Mode = vell::TRop2::XorPen;
  c.Pen.Color = 0xFFFFFF;
  int x = 100;
  for (auto _ : state) {
    c.MoveTo(x, 2000);
    c.LineTo(x + 6, 2004);
    x = x >= 4000 ? 100 : x + 6;
  }
}
BENCHMARK(BM_FreehandStep)->Unit(benchmark::kMicrosecond);

void BM_EllipseFilled(benchmark::State& state) {
  TPixelBuffer a = Flat();
  TCanvas c(a);
  c.Pen.Width = 5;
  for (auto _ : state) {
    c.Ellipse(0, 0, kSide, kSide);
    benchmark::ClobberMemory();
  }
  Bytes(state, a);
}
BENCHMARK(BM_EllipseFilled)->Unit(benchmark::kMillisecond);

bool WritePpm(const std::string& path, bool walled) {
  TPixelBuffer p = walled ? Walled() : Flat();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::fprintf(f, "P6\n%d %d\n255\n", kSide, kSide);
  for (int y = 0; y < kSide; ++y) std::fwrite(p.Row(y), 1, static_cast<size_t>(kSide) * 3, f);  // grey levels: order moot
  return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string flag = "--write-ppm=", flat = "--write-flat-ppm=";
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], flag.c_str(), flag.size()) == 0) return WritePpm(argv[i] + flag.size(), true) ? 0 : 1;
    if (std::strncmp(argv[i], flat.c_str(), flat.size()) == 0) return WritePpm(argv[i] + flat.size(), false) ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
