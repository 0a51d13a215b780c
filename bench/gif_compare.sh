#!/usr/bin/env bash
# Times our GIF encoder and decoder beside giflib on the same 1024 x 1024 8-bit picture, in
# one run of bench/gif_bench, and beside ImageMagick re-encoding the same file; prints ratios
# (below 1: ours is faster).
#   bench/gif_compare.sh            builds in build-bench-gif and runs
#   VELL_SOURCE_DIR=/path ...       configures another source tree (same layout)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
src="${VELL_SOURCE_DIR:-$root}"
build="$root/build-bench-gif"
cmake -S "$src" -B "$build" -G Ninja -DVELL_BENCH=ON -DVELL_TESTS=OFF -DVELL_GUI=OFF \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target gif_bench >/dev/null
json="$build/gif_bench.json"
"$build/bench/gif_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_out="$json" --benchmark_out_format=json >/dev/null

python3 - "$json" <<'PY'
import json, sys
runs = {b["run_name"]: b for b in json.load(open(sys.argv[1]))["benchmarks"]
        if b.get("aggregate_name") == "median"}
def ms(name): return runs[name]["real_time"]
for what, ours, theirs in (("encode", "BM_GifEncode", "BM_GiflibEncode"),
                           ("decode", "BM_GifDecode", "BM_GiflibDecode")):
    extra = ""
    if "file_bytes" in runs[ours]:
        extra = f"  file {runs[ours]['file_bytes']:.0f} vs {runs[theirs]['file_bytes']:.0f} bytes"
    print(f"{what}: ours {ms(ours):.2f} ms, giflib {ms(theirs):.2f} ms, "
          f"ratio ours/giflib {ms(ours) / ms(theirs):.2f}{extra}")
PY

# ImageMagick reading and rewriting the same file, beside our decode + encode.
if command -v convert >/dev/null; then
  gif="$build/gif_bench_picture.gif"
  "$build/bench/gif_bench" --write-gif="$gif"
  python3 - "$json" "$gif" "$build/gif_bench_magick.gif" <<'PY'
import json, subprocess, sys, time
runs = {b["run_name"]: b for b in json.load(open(sys.argv[1]))["benchmarks"]
        if b.get("aggregate_name") == "median"}
times = []
for _ in range(5):
    t = time.perf_counter()
    subprocess.run(["convert", sys.argv[2], sys.argv[3]], check=True)
    times.append((time.perf_counter() - t) * 1000)
magick = sorted(times)[2]
ours = runs["BM_GifDecode"]["real_time"] + runs["BM_GifEncode"]["real_time"]
print(f"decode+encode: ours {ours:.2f} ms, ImageMagick convert {magick:.2f} ms "
      f"(whole process), ratio ours/ImageMagick {ours / magick:.2f}")
PY
fi
