// The whole road of one effect on a picture file, as a one-line replay runs
// it: read the BMP, apply the effect, write the BMP.
//   velltile_bench --process OP IN.bmp OUT.bmp
//       one road, for timing the whole process (and for perf record)
//   velltile_bench [benchmark flags]
//       Google Benchmark, in process: each road from and to files in a
//       temporary folder, and each effect alone on a picture in memory.
//       VELLTILE_BENCH_INPUT names the input BMP; without it a 4096 x 4096
//       photograph-like picture is made.
// OP is one of: copy negate blur gblur resize rotate (the effects "Negative",
// "Blur", "Gaussian Blur" with Blurriness 2, "ReSize Smooth" to 1024 x 1024,
// "Rotate Angle" 45).
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench/BenchPictures.h"
#include "editor/ImageFiles.h"
#include "imaging/Colour.h"
#include "imaging/Filters.h"
#include "imaging/GBlur.h"
#include "imaging/Geometry.h"

namespace {

struct TOp {
  const char* name;
  void (*run)(vell::TPixelBuffer&);
};

constexpr int kBlurEffect = 10;  // the named 3 x 3 kernel "Blur"

const TOp kOps[] = {
    {"copy", [](vell::TPixelBuffer&) {}},
    {"negate", [](vell::TPixelBuffer& p) { vell::Negate(p); }},
    {"blur", [](vell::TPixelBuffer& p) { vell::ApplyNamedKernel(p, kBlurEffect); }},
    {"gblur", [](vell::TPixelBuffer& p) { vell::GaussianBlur(p, 2); }},
    {"resize", [](vell::TPixelBuffer& p) { vell::ResizeSmooth(p, 1024, 1024, false); }},
    {"rotate", [](vell::TPixelBuffer& p) { vell::RotateAngle(p, 45); }},
};

const TOp* FindOp(const char* name) {
  for (const TOp& op : kOps)
    if (std::strcmp(op.name, name) == 0) return &op;
  return nullptr;
}

bool Road(const TOp& op, const std::string& in, const std::string& out, std::string& error) {
  vell::TPixelBuffer picture;
  if (const vell::TImageResult r = vell::ReadImageFile(in, picture); !r) {
    error = r.error;
    return false;
  }
  op.run(picture);
  if (const vell::TSaveResult s = vell::SaveImageFile(out, picture, vell::TSaveOptions{}); !s) {
    error = s.Error;
    return false;
  }
  return true;
}

class TFolder {
 public:
  TFolder() {
    std::string t = (std::filesystem::temp_directory_path() / "velltile_bench-XXXXXX").string();
    path_ = ::mkdtemp(t.data()) ? t : std::string();
  }
  ~TFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string operator/(const char* name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

TFolder& Folder() {
  static TFolder folder;
  return folder;
}

const std::string& Input() {
  static const std::string path = [] {
    if (const char* given = std::getenv("VELLTILE_BENCH_INPUT")) return std::string(given);
    vell::TPixelBuffer photo;
    vell::bench::MakePhoto(photo, 4096);
    const std::string made = Folder() / "in.bmp";
    vell::SaveImageFile(made, photo, vell::TSaveOptions{});
    return made;
  }();
  return path;
}

void BM_Road(benchmark::State& state, const TOp* op) {
  const std::string out = Folder() / "out.bmp";
  std::string error;
  for (auto _ : state)
    if (!Road(*op, Input(), out, error)) state.SkipWithError(error.c_str());
}

void BM_Effect(benchmark::State& state, const TOp* op) {
  vell::TPixelBuffer original, work;
  if (!vell::ReadImageFile(Input(), original)) state.SkipWithError("cannot read the input");
  for (auto _ : state) {
    state.PauseTiming();
    vell::CopyPixelsTo(original, work);
    state.ResumeTiming();
    op->run(work);
    benchmark::DoNotOptimize(work.Bits());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--process") == 0) {
    const TOp* op = FindOp(argv[2]);
    if (op == nullptr) {
      std::fprintf(stderr, "unknown operation %s\n", argv[2]);
      return 2;
    }
    std::string error;
    if (!Road(*op, argv[3], argv[4], error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 1;
    }
    return 0;
  }
  for (const TOp& op : kOps) {
    benchmark::RegisterBenchmark((std::string("BM_Road/") + op.name).c_str(), BM_Road, &op)
        ->Unit(benchmark::kMillisecond);
    if (std::strcmp(op.name, "copy") != 0)
      benchmark::RegisterBenchmark((std::string("BM_Effect/") + op.name).c_str(), BM_Effect, &op)
          ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
