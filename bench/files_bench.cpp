// Open and Save speed of the four image formats on a 4096 x 4096 picture, and the
// whole-process tool that bench/files_compare.sh runs beside ImageMagick, libvips and
// libjpeg-turbo's cjpeg/djpeg:
//   files_bench --make DIR         writes DIR/in.bmp, in.jpg, in.png, in.gif
//   files_bench --convert IN OUT   opens IN and saves OUT as the editor does (quality 90)
//   files_bench                    the Google Benchmark timings, in memory
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/BenchPictures.h"
#include "editor/BmpFile.h"
#include "editor/ImageFiles.h"
#include "editor/JpegFile.h"
#include "editor/PngFile.h"

namespace {

constexpr int kSize = 4096;

// A photograph-like picture: ramps, a soft pattern and noise.
const vell::TPixelBuffer& Photo() {
  static const vell::TPixelBuffer photo = [] {
    vell::TPixelBuffer p;
    vell::bench::MakePhoto(p, kSize);
    return p;
  }();
  return photo;
}

std::vector<uint8_t> Encoded(vell::TImageFormat format) {
  std::vector<uint8_t> bytes;
  vell::EncodeImage(format, Photo(), vell::TSaveOptions{}, bytes);
  return bytes;
}

void Save(benchmark::State& state, vell::TImageFormat format) {
  const vell::TPixelBuffer& photo = Photo();
  size_t size = 0;
  for (auto _ : state) {
    std::vector<uint8_t> bytes;
    vell::EncodeImage(format, photo, vell::TSaveOptions{}, bytes);
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.counters["file_bytes"] = static_cast<double>(size);
}

void Open(benchmark::State& state, vell::TImageFormat format) {
  const std::vector<uint8_t> bytes = Encoded(format);
  for (auto _ : state) {
    vell::TPixelBuffer picture;
    if (!vell::ReadImage(bytes.data(), bytes.size(), picture)) state.SkipWithError("cannot read");
    benchmark::DoNotOptimize(picture.Bits());
  }
}

BENCHMARK_CAPTURE(Save, Bmp, vell::TImageFormat::Bmp)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Save, Jpeg, vell::TImageFormat::Jpeg)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Save, Png, vell::TImageFormat::Png)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Save, Gif, vell::TImageFormat::Gif)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Open, Bmp, vell::TImageFormat::Bmp)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Open, Jpeg, vell::TImageFormat::Jpeg)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Open, Png, vell::TImageFormat::Png)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Open, Gif, vell::TImageFormat::Gif)->Unit(benchmark::kMillisecond);

int Make(const std::string& dir) {
  for (const char* name : {"in.bmp", "in.jpg", "in.png", "in.gif"}) {
    const vell::TSaveResult r = vell::SaveImageFile(dir + "/" + name, Photo(), vell::TSaveOptions{});
    if (!r) {
      std::fprintf(stderr, "%s\n", r.Error.c_str());
      return 1;
    }
  }
  return 0;
}

int Convert(const std::string& in, const std::string& out) {
  vell::TPixelBuffer picture;
  const vell::TImageResult read = vell::ReadImageFile(in, picture);
  if (!read) {
    std::fprintf(stderr, "%s\n", read.error.c_str());
    return 1;
  }
  const vell::TSaveResult saved = vell::SaveImageFile(out, picture, vell::TSaveOptions{});
  if (!saved) {
    std::fprintf(stderr, "%s\n", saved.Error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--make") == 0) return Make(argv[2]);
  if (argc == 4 && std::strcmp(argv[1], "--convert") == 0) return Convert(argv[2], argv[3]);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
