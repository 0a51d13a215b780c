// Colour operations on a 4096 x 4096 picture against a plain pass over the same
// memory. Compare the times as ratios to BM_ReadWritePass; absolute figures
// depend on the machine.
#include <benchmark/benchmark.h>

#include <cstring>
#include <functional>
#include <vector>

#include "imaging/Colour.h"
#include "imaging/PixelBuffer.h"

namespace {

using vell::TPixelBuffer;

constexpr int kSide = 4096;

TPixelBuffer MakePicture(int bits) {
  TPixelBuffer b;
  b.Allocate(kSide, kSide, 0, bits);
  uint32_t state = 12345;
  for (size_t i = 0; i < static_cast<size_t>(b.BytesPerLine()) * kSide; ++i) {
    state = state * 1103515245u + 12345u;
    b.Bits()[i] = static_cast<uint8_t>(state >> 24);
  }
  return b;
}

void SetBytes(benchmark::State& state, const TPixelBuffer& b) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * b.BytesPerLine() * b.Height());
}

// Baselines: a copy into a second picture, and an in-place read-modify-write of every byte.
void BM_Memcpy(benchmark::State& state) {
  TPixelBuffer a = MakePicture(24), b = MakePicture(24);  // both already touched
  const size_t bytes = static_cast<size_t>(a.BytesPerLine()) * kSide;
  for (auto _ : state) {
    std::memcpy(b.Bits(), a.Bits(), bytes);
    benchmark::ClobberMemory();
  }
  SetBytes(state, a);
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

void BM_ReadWritePass(benchmark::State& state) {
  TPixelBuffer a = MakePicture(24);
  for (auto _ : state) {
    for (int r = 0; r < kSide; ++r) {
      uint8_t* __restrict p = a.Row(r);
      for (int i = 0; i < kSide * 3; ++i) p[i] = static_cast<uint8_t>(p[i] + 1);
    }
    benchmark::ClobberMemory();
  }
  SetBytes(state, a);
}
BENCHMARK(BM_ReadWritePass)->Unit(benchmark::kMillisecond);

void RunEffect(benchmark::State& state, int bits, const std::function<void(TPixelBuffer&)>& effect) {
  TPixelBuffer a = MakePicture(bits);
  for (auto _ : state) {
    effect(a);
    benchmark::ClobberMemory();
  }
  SetBytes(state, a);
}

vell::TChannelTable Level() {
  vell::TChannelTable t;
  for (int v = 0; v < 256; ++v) {
    const int out = (v - 25) * 255 / 205;
    t[static_cast<size_t>(v)] = static_cast<uint8_t>(out < 0 ? 0 : out > 255 ? 255 : out);
  }
  return t;
}

void BM_ApplyChannelTables24(benchmark::State& state) {
  const vell::TChannelTable r = Level(), g = vell::ShiftTable(10), b = vell::ContrastTable(40);
  RunEffect(state, 24, [&](TPixelBuffer& p) { p.ApplyChannelTables(r.data(), g.data(), b.data()); });
}
BENCHMARK(BM_ApplyChannelTables24)->Unit(benchmark::kMillisecond);

void BM_ApplyChannelTables32(benchmark::State& state) {
  const vell::TChannelTable r = Level(), g = vell::ShiftTable(10), b = vell::ContrastTable(40);
  RunEffect(state, 32, [&](TPixelBuffer& p) { p.ApplyChannelTables(r.data(), g.data(), b.data()); });
}
BENCHMARK(BM_ApplyChannelTables32)->Unit(benchmark::kMillisecond);

void BM_ApplyChannelTables16(benchmark::State& state) {
  const vell::TChannelTable r = Level(), g = vell::ShiftTable(10), b = vell::ContrastTable(40);
  RunEffect(state, 16, [&](TPixelBuffer& p) { p.ApplyChannelTables(r.data(), g.data(), b.data()); });
}
BENCHMARK(BM_ApplyChannelTables16)->Unit(benchmark::kMillisecond);

#define VELL_COLOUR_BENCH(name, call)                                 \
  void BM_##name(benchmark::State& state) {                           \
    RunEffect(state, 24, [](TPixelBuffer& p) { call; });              \
  }                                                                   \
  BENCHMARK(BM_##name)->Unit(benchmark::kMillisecond);

VELL_COLOUR_BENCH(Negate, vell::Negate(p))
VELL_COLOUR_BENCH(Brighten, vell::Brighten(p))
VELL_COLOUR_BENCH(Lighten, vell::Lighten(p))
VELL_COLOUR_BENCH(ToGrayScale, vell::ToGrayScale(p))
VELL_COLOUR_BENCH(Tint, vell::Tint(p, 0x3080F0))
VELL_COLOUR_BENCH(RotateColourBits, vell::RotateColourBits(p, 3))
VELL_COLOUR_BENCH(ExchangeColour, vell::ExchangeColour(p, 0x808080, 0x102030, 40))
VELL_COLOUR_BENCH(EraseToBlack, vell::EraseToBlack(p))
VELL_COLOUR_BENCH(AdjustSaturation, p.AdjustSaturation(300))
VELL_COLOUR_BENCH(AdjustLightness, p.AdjustLightness(40, 40, 40))
VELL_COLOUR_BENCH(ColourNoise, vell::AddNoise(p, 40))

void BM_SliderPreview(benchmark::State& state) {
  TPixelBuffer work = MakePicture(24), preview;
  const vell::TSliderPositions sliders{300, 200, 300, 280, 255, 240};
  vell::ApplySliders(preview, work, sliders);  // the preview's memory is touched once beforehand
  for (auto _ : state) {
    vell::ApplySliders(preview, work, sliders);
    benchmark::ClobberMemory();
  }
  SetBytes(state, work);
}
BENCHMARK(BM_SliderPreview)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
