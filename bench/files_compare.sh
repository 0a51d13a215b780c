#!/usr/bin/env bash
# Opens and saves a 4096 x 4096 picture in each format, whole process, with our
# files_bench --convert beside ImageMagick's convert and libvips' vips copy on the same
# file in the same run; JPEG also beside libjpeg-turbo's djpeg (open) and cjpeg (save).
# Prints median times of 3 runs and the ratios (below 1: ours is faster).
#   bench/files_compare.sh            builds in build-bench-files and runs
#   VELL_SOURCE_DIR=/path ...         configures another source tree (same layout)
#   VELL_BENCH_BUILD=/path ...        uses an existing build tree configured with -DVELL_BENCH=ON
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
src="${VELL_SOURCE_DIR:-$root}"
build="${VELL_BENCH_BUILD:-$root/build-bench-files}"
if [ -z "${VELL_BENCH_BUILD:-}" ]; then
  cmake -S "$src" -B "$build" -G Ninja -DVELL_BENCH=ON -DVELL_TESTS=OFF -DVELL_GUI=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target files_bench >/dev/null
tool="$build/bench/files_bench"
# One thread each, as our code runs.
export VIPS_CONCURRENCY=1 MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1
work="$build/files_compare"
mkdir -p "$work"
"$tool" --make "$work"

python3 - "$tool" "$work" <<'PY'
import shutil, subprocess, sys, time
tool, work = sys.argv[1], sys.argv[2]

def median_ms(argv, stdout=None):
    times = []
    for _ in range(3):
        t = time.perf_counter()
        with open(stdout, "wb") if stdout else open("/dev/null", "wb") as out:
            r = subprocess.run(argv, stdout=out, stderr=subprocess.DEVNULL)
        if r.returncode != 0:
            return None
        times.append((time.perf_counter() - t) * 1000)
    return sorted(times)[1]

def report(what, ours, others):
    line = f"{what}: ours {ours:.0f} ms"
    for name, ms in others:
        if ms is None:
            line += f", {name} n/a"
        else:
            line += f", {name} {ms:.0f} ms (ratio ours/{name} {ours / ms:.2f})"
    print(line)

vips_ext = {"bmp": None, "jpg": "out.jpg[Q=90]", "png": "out.png", "gif": "out.gif"}
for ext in ("bmp", "jpg", "png", "gif"):
    src = f"{work}/in.{ext}"
    ours = median_ms([tool, "--convert", src, f"{work}/ours.{ext}"])
    others = []
    if shutil.which("convert"):
        args = ["convert", src] + (["-quality", "90"] if ext == "jpg" else []) + [f"{work}/magick.{ext}"]
        others.append(("ImageMagick", median_ms(args)))
    if shutil.which("vips") and vips_ext[ext]:
        others.append(("vips", median_ms(["vips", "copy", src, f"{work}/vips_{vips_ext[ext]}"])))
    report(f"open+save {ext}", ours, others)

# JPEG beside libjpeg-turbo's own tools: open (JPEG to BMP) and save (BMP to JPEG).
if shutil.which("djpeg") and shutil.which("cjpeg"):
    ours = median_ms([tool, "--convert", f"{work}/in.jpg", f"{work}/ours_from_jpg.bmp"])
    djpeg = median_ms(["djpeg", "-bmp", f"{work}/in.jpg"], stdout=f"{work}/djpeg.bmp")
    report("open jpg (to bmp)", ours, [("djpeg", djpeg)])
    ours = median_ms([tool, "--convert", f"{work}/in.bmp", f"{work}/ours_from_bmp.jpg"])
    cjpeg = median_ms(["cjpeg", "-quality", "90", f"{work}/in.bmp"], stdout=f"{work}/cjpeg.jpg")
    report("save jpg (from bmp)", ours, [("cjpeg", cjpeg)])
else:
    print("djpeg/cjpeg not installed (libjpeg-turbo-progs): JPEG tool comparison skipped")
PY
