// Distortion and relief timings on one 4096 x 4096 picture, one thread. Run
// with --write-ppm=<path> (and --write-map=<path> for the control picture) to
// write the pictures for bench/warps_compare.sh, which times ImageMagick's
// nearest operations on them beside these figures.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bench/BenchPictures.h"
#include "imaging/PixelBuffer.h"
#include "imaging/Relief.h"
#include "imaging/Warps.h"

namespace {

using vell::TPixelBuffer;

constexpr int kSide = 4096;

const TPixelBuffer& Picture() {
  static const TPixelBuffer b = vell::bench::NoisePicture(kSide, 12345, 1);
  return b;
}

// The control picture of Water, StretchBlur and Map Texture: a smoother one.
const TPixelBuffer& Control() {
  static const TPixelBuffer b = vell::bench::NoisePicture(kSide, 777, 2);
  return b;
}

void Pixels(benchmark::State& state) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kSide * kSide);
}

// In-place effects run on the same working copy over and over: their cost
// does not depend on the values.
template <typename F>
void InPlace(benchmark::State& state, F run) {
  TPixelBuffer img;
  vell::CopyPixelsTo(Picture(), img);
  for (auto _ : state) {
    run(img);
    benchmark::ClobberMemory();
  }
  Pixels(state);
}

// Default panel values unless said otherwise.
void BM_SineWaveUpDown(benchmark::State& s) {
  InPlace(s, [](TPixelBuffer& i) { vell::SineWaveUpDown(i, 50, true, true, 3.0); });
}
void BM_SineWaveUpDownNoWrap(benchmark::State& s) {
  InPlace(s, [](TPixelBuffer& i) { vell::SineWaveUpDown(i, 50, false, true, 3.0); });
}
void BM_SineWaveLeftRight(benchmark::State& s) {
  InPlace(s, [](TPixelBuffer& i) { vell::SineWaveLeftRight(i, 64, true, true, 2.0); });
}
void BM_SineWaveBoth(benchmark::State& s) {
  InPlace(s, [](TPixelBuffer& i) { vell::SineWaveBoth(i, 50, 64, 2.0, 3.0); });
}
void BM_Twist(benchmark::State& s) {
  TPixelBuffer out;
  for (auto _ : s) {
    vell::Twist(Picture(), out, 100);
    benchmark::ClobberMemory();
  }
  Pixels(s);
}
void BM_FishEye(benchmark::State& s) {
  TPixelBuffer out;
  for (auto _ : s) {
    vell::FishEye(Picture(), out, 0.75);
    benchmark::ClobberMemory();
  }
  Pixels(s);
}
void BM_Circular(benchmark::State& s) {
  InPlace(s, [](TPixelBuffer& i) { vell::Circular(i); });
}
void BM_RippleTooth(benchmark::State& s) {
  InPlace(s, [](TPixelBuffer& i) { vell::RippleTooth(i, 16); });
}
void BM_Waves(benchmark::State& s) {
  InPlace(s, [](TPixelBuffer& i) { vell::Waves(i, 24, 10, false, 8.0); });
}
void BM_WavesReflective(benchmark::State& s) {
  InPlace(s, [](TPixelBuffer& i) { vell::Waves(i, 24, 10, true, 8.0); });
}
// The whirl alone and the pinch alone, beside -swirl and -implode.
void BM_Whirl(benchmark::State& s) {
  InPlace(s, [](TPixelBuffer& i) { vell::WhirlPinch(i, 1.0, 0.0, 270.0); });
}
void BM_Pinch(benchmark::State& s) {
  InPlace(s, [](TPixelBuffer& i) { vell::WhirlPinch(i, 1.0, 0.5, 0.0); });
}
void BM_WhirlPinch(benchmark::State& s) {
  InPlace(s, [](TPixelBuffer& i) { vell::WhirlPinch(i, 1.0, 0.5, 270.0); });
}
void BM_Swizzle(benchmark::State& s) {
  InPlace(s, [](TPixelBuffer& i) { vell::Swizzle(i, 64); });
}
void BM_Water(benchmark::State& s) {
  InPlace(s, [](TPixelBuffer& i) { vell::Water(100, 64, Control(), i); });
}
void BM_WaterSelf(benchmark::State& s) {
  InPlace(s, [](TPixelBuffer& i) { vell::Water(-128, 128, i, i); });
}
void BM_StretchBlur(benchmark::State& s) {
  InPlace(s, [](TPixelBuffer& i) { vell::StretchBlur(i, 1, 1, Control(), 32); });
}
void BM_StretchBlurSelf(benchmark::State& s) {
  InPlace(s, [](TPixelBuffer& i) { vell::StretchBlur(i, 1, -1, i, 32); });
}
void BM_MapTexture(benchmark::State& s) {
  InPlace(s, [](TPixelBuffer& i) { vell::MapTexture(i, Control(), 1.8); });
}
void BM_HeightMap(benchmark::State& s) {
  InPlace(s, [](TPixelBuffer& i) { vell::HeightMap(i, 16, false, 20, 32); });
}
void BM_HeightMapBump(benchmark::State& s) {
  InPlace(s, [](TPixelBuffer& i) { vell::HeightMap(i, 16, true, 20, 32); });
}

#define WARP_BENCH(name) BENCHMARK(name)->Unit(benchmark::kMillisecond)->UseRealTime()
WARP_BENCH(BM_SineWaveUpDown);
WARP_BENCH(BM_SineWaveUpDownNoWrap);
WARP_BENCH(BM_SineWaveLeftRight);
WARP_BENCH(BM_SineWaveBoth);
WARP_BENCH(BM_Twist);
WARP_BENCH(BM_FishEye);
WARP_BENCH(BM_Circular);
WARP_BENCH(BM_RippleTooth);
WARP_BENCH(BM_Waves);
WARP_BENCH(BM_WavesReflective);
WARP_BENCH(BM_Whirl);
WARP_BENCH(BM_Pinch);
WARP_BENCH(BM_WhirlPinch);
WARP_BENCH(BM_Swizzle);
WARP_BENCH(BM_Water);
WARP_BENCH(BM_WaterSelf);
WARP_BENCH(BM_StretchBlur);
WARP_BENCH(BM_StretchBlurSelf);
WARP_BENCH(BM_MapTexture);
WARP_BENCH(BM_HeightMap);
WARP_BENCH(BM_HeightMapBump);

}  // namespace

int main(int argc, char** argv) {
  const std::string picture = "--write-ppm=", map = "--write-map=";
  bool wrote = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], picture.c_str(), picture.size()) == 0) {
      if (!vell::bench::WritePpm(argv[i] + picture.size(), Picture())) return 1;
      wrote = true;
    } else if (std::strncmp(argv[i], map.c_str(), map.size()) == 0) {
      if (!vell::bench::WritePpm(argv[i] + map.size(), Control())) return 1;
      wrote = true;
    }
  }
  if (wrote) return 0;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
