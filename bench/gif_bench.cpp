// GIF coding speed on a 1024 x 1024 8-bit picture, ours beside giflib on the same indices.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstring>
#include <vector>

#include "gif/GifPicture.h"

namespace {

constexpr int kSize = 1024;
constexpr int kColors = 236;  // what the editor's colour reduction yields

// A diagonal gradient with a little deterministic noise: long runs broken often enough
// that the string table fills and clears many times.
const TGifPalettedBitmap& Bitmap() {
  static const TGifPalettedBitmap bmp = [] {
    TGifPalettedBitmap b;
    b.Width = b.Height = kSize;
    b.BitCount = 8;
    for (int i = 0; i < kColors; ++i)
      b.Palette.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i / 2)});
    b.Bits.resize(size_t{kSize} * kSize);
    uint32_t s = 2463534242u;
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        const int v = (x + y) * (kColors - 8) / (2 * kSize) + static_cast<int>(s & 7);
        b.Bits[size_t(y) * kSize + x] = static_cast<uint8_t>(v);
      }
    return b;
  }();
  return bmp;
}

const TGifPicture& Picture() {
  static const TGifPicture pic = [] {
    TGifPicture p;
    p.Assign(Bitmap());
    return p;
  }();
  return pic;
}

const std::vector<uint8_t>& Encoded() {
  static const std::vector<uint8_t> bytes = [] {
    std::vector<uint8_t> b;
    Picture().SaveToMemory(b);
    return b;
  }();
  return bytes;
}

void BM_GifEncode(benchmark::State& state) {
  std::vector<uint8_t> out;
  for (auto _ : state) {
    if (!Picture().SaveToMemory(out)) state.SkipWithError("save failed");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * int64_t{kSize} * kSize);
  state.counters["file_bytes"] = static_cast<double>(out.size());
}
BENCHMARK(BM_GifEncode)->Unit(benchmark::kMillisecond);

void BM_GifDecode(benchmark::State& state) {
  const auto& bytes = Encoded();
  for (auto _ : state) {
    TGifPicture pic;
    if (!pic.LoadFromMemory(bytes.data(), bytes.size())) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(pic.Frames.data());
  }
  state.SetBytesProcessed(state.iterations() * int64_t{kSize} * kSize);
}
BENCHMARK(BM_GifDecode)->Unit(benchmark::kMillisecond);

int WriteToVector(GifFileType* gif, const GifByteType* data, int len) {
  auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
  out->insert(out->end(), data, data + len);
  return len;
}

struct TMemory {
  const std::vector<uint8_t>* Bytes;
  size_t Pos;
};

int ReadFromMemory(GifFileType* gif, GifByteType* dst, int len) {
  auto* m = static_cast<TMemory*>(gif->UserData);
  const size_t n = std::min<size_t>(static_cast<size_t>(len), m->Bytes->size() - m->Pos);
  std::memcpy(dst, m->Bytes->data() + m->Pos, n);
  m->Pos += n;
  return static_cast<int>(n);
}

void BM_GiflibEncode(benchmark::State& state) {
  const TGifPalettedBitmap& b = Bitmap();
  std::vector<GifColorType> colors(256);
  for (int i = 0; i < kColors; ++i) colors[i] = {b.Palette[i].Red, b.Palette[i].Green, b.Palette[i].Blue};
  std::vector<uint8_t> out;
  std::vector<GifPixelType> row(kSize);
  for (auto _ : state) {
    out.clear();
    int err = 0;
    GifFileType* gif = EGifOpen(&out, WriteToVector, &err);
    ColorMapObject* map = GifMakeMapObject(256, colors.data());
    EGifPutScreenDesc(gif, kSize, kSize, 8, 0, nullptr);
    EGifPutImageDesc(gif, 0, 0, kSize, kSize, false, map);
    for (int y = 0; y < kSize; ++y) {
      std::memcpy(row.data(), b.Bits.data() + size_t(y) * kSize, kSize);
      EGifPutLine(gif, row.data(), kSize);
    }
    EGifCloseFile(gif, &err);
    GifFreeMapObject(map);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * int64_t{kSize} * kSize);
  state.counters["file_bytes"] = static_cast<double>(out.size());
}
BENCHMARK(BM_GiflibEncode)->Unit(benchmark::kMillisecond);

void BM_GiflibDecode(benchmark::State& state) {
  const auto& bytes = Encoded();
  for (auto _ : state) {
    TMemory m{&bytes, 0};
    int err = 0;
    GifFileType* gif = DGifOpen(&m, ReadFromMemory, &err);
    if (DGifSlurp(gif) != GIF_OK) state.SkipWithError("giflib failed");
    benchmark::DoNotOptimize(gif->SavedImages[0].RasterBits);
    DGifCloseFile(gif, &err);
  }
  state.SetBytesProcessed(state.iterations() * int64_t{kSize} * kSize);
}
BENCHMARK(BM_GiflibDecode)->Unit(benchmark::kMillisecond);

}  // namespace

// --write-gif=PATH writes the benchmark picture for the outside tools and exits.
int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--write-gif=", 12) == 0) {
      return Picture().SaveToFile(argv[i] + 12) ? 0 : 1;
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
