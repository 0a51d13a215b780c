// The whole Apply road on a 4096 x 4096 picture: the undo snapshot, the
// operation and the log line, as one Apply of Negative runs them, beside its
// parts. The ring holds 15 slots and has been round once before the timing,
// so every snapshot writes into memory it already has, as in a working session.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "bench/BenchPictures.h"
#include "editor/Apply.h"
#include "editor/OperationLog.h"
#include "editor/ScriptedUi.h"
#include "imaging/Colour.h"

namespace {

using namespace vell;

constexpr int kSide = 4096;
constexpr int kNegative = 31;

void Fill(TPixelBuffer& b) { bench::FillNoise(b); }

// A log file in a fresh temporary folder, removed afterwards.
struct TTempLog {
  std::string dir, path;
  ScriptedUi ui;
  std::unique_ptr<TOperationLog> log;
  TTempLog() {
    std::string tmpl = "/tmp/vell-undo-bench-XXXXXX";
    dir = ::mkdtemp(tmpl.data());
    path = dir + "/VellLog.txt";
    log = std::make_unique<TOperationLog>(path, ui);
    log->StartNewLog("Log starts");
  }
  ~TTempLog() {
    log.reset();
    ::unlink(path.c_str());
    ::rmdir(dir.c_str());
  }
};

void BM_ApplyNegativeRoad(benchmark::State& state) {
  TEditor editor;
  editor.CreateImages();
  editor.dibWork.Allocate(kSide, kSide, 0, 24);
  Fill(editor.dibWork);
  TEffectParams params;
  TUndoRing ring;
  TTempLog log;
  editor.Logging = true;
  editor.WriteLog = [&log](const std::string& line) { log.log->WriteLogLine(line); };
  TApplyDispatcher dispatcher(editor, params, ring);
  editor.SelectEffect(kNegative, "Negative");
  TPanelFields fields;
  // A ring that has been round once, as after the first fifteen changes.
  for (int i = 0; i < ring.MaxUndo(); ++i) ring.PushUndo(editor.dibWork);
  for (auto _ : state) {
    if (dispatcher.bGoClick(fields) != TApplyResult::Ran) state.SkipWithError("Negative did not run");
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ApplyNegativeRoad)->Unit(benchmark::kMillisecond);

void BM_Snapshot(benchmark::State& state) {
  TPixelBuffer work;
  work.Allocate(kSide, kSide, 0, 24);
  Fill(work);
  TUndoRing ring;
  for (int i = 0; i < ring.MaxUndo(); ++i) ring.PushUndo(work);
  for (auto _ : state) {
    ring.PushUndo(work);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Snapshot)->Unit(benchmark::kMillisecond);

// A snapshot into memory taken fresh each time (what a ring without reuse does).
void BM_SnapshotFreshMemory(benchmark::State& state) {
  TPixelBuffer work;
  work.Allocate(kSide, kSide, 0, 24);
  Fill(work);
  for (auto _ : state) {
    TUndoRing ring(1);
    ring.PushUndo(work);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SnapshotFreshMemory)->Unit(benchmark::kMillisecond);

void BM_Restore(benchmark::State& state) {
  TPixelBuffer work;
  work.Allocate(kSide, kSide, 0, 24);
  Fill(work);
  TUndoRing ring;
  for (auto _ : state) {
    ring.PushUndo(work);
    ring.PopUndo(work);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Restore)->Unit(benchmark::kMillisecond);

void BM_NegateAlone(benchmark::State& state) {
  TPixelBuffer work;
  work.Allocate(kSide, kSide, 0, 24);
  Fill(work);
  for (auto _ : state) {
    Negate(work);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_NegateAlone)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
