#!/usr/bin/env bash
# Whole processes, read + effect + write, of `velltile replay` beside libvips and
# ImageMagick on the same 4096 x 4096 photograph-like picture in the same run, one
# thread each, and prints the times and the ratios (below 1: ours is faster).
#
# Each tool reads and writes its own fastest format here: BMP for ours (rows go
# straight between file and picture), vips' native .v, ImageMagick's native MIFF
# (PPM costs it the same; both need its 16-bit pixels converted, MIFF keeps every
# attribute). The input is ImageMagick's plasma:fractal (seeded), softened a little.
#   negate   Negative                      vips invert          -negate
#   blur     Blur (3x3: 3 3 3/3 8 3/3 3 3, /32)   vips conv, same matrix   -convolve, same kernel
#   gblur    Gaussian Blur, Blurriness 2   vips gaussblur 3     -blur 8x3
#            (our radius 3 is the gaussian's sigma; our kernel keeps 8 pixels each
#            side, vips keeps the same with --min-ampl 0.029, ImageMagick with radius 8)
#   resize   Resize Smooth to 1024 x 1024  vips resize 0.25 --kernel linear
#                                          -filter Triangle -resize 1024x1024!
#   rotate   Rotate Angle 45 (nearest, same size, wrapping around)
#            vips affine about the centre, nearest, --extend repeat, same size
#            ImageMagick -distort SRT 45, point filter, tiled virtual pixels
# Our side runs `velltile replay LOG --input in.bmp --output out.bmp` with a one-line
# log; when the tree has no velltile program it runs bench/velltile_bench --process,
# the same road in one process. Times: median of VELLTILE_RUNS runs (default 7: on a
# virtual machine the first touch of fresh memory makes single runs jump), CPU (user +
# system) and wall. Our save ends with fsync (a saved picture survives a crash); the
# tools do not, so our wall times include waiting for the disk.
#   bench/velltile_compare.sh          builds in build-bench-velltile and runs
#   VELL_SOURCE_DIR=/path ...          configures another source tree (same layout)
#   VELL_BENCH_BUILD=/path ...         uses an existing tree configured with -DVELL_BENCH=ON
set -euo pipefail
. "$(dirname "$0")/compare_lib.sh"
bench_build "$(cd "$(dirname "$0")/.." && pwd)/build-bench-velltile" velltile_bench
ours=("$build/bench/velltile_bench" --process)
if cmake --build "$build" --target velltile >/dev/null 2>&1; then
  ours=("$(find "$build" -name velltile -type f -perm -u+x | head -1)" replay)
fi
bench_workdir velltile_compare
bench_tools
[ "$have_vips" = 1 ] || { echo "vips not found (package libvips-tools)" >&2; exit 1; }
[ "$have_magick" = 1 ] || { echo "ImageMagick not found (package imagemagick)" >&2; exit 1; }

side=4096
cd "$work"
"$magick" -limit thread 1 -seed 17 -size ${side}x${side} plasma:fractal -blur 0x1 -type TrueColor BMP3:in.bmp
vips copy in.bmp in.v
"$magick" in.bmp in.miff
printf '3 3 32 0\n3 3 3\n3 8 3\n3 3 3\n' >blur.mat
printf '' >copy.log
printf 'Negative\n' >negate.log
printf 'Blur\n' >blur.log
printf 'Gaussian Blur, Blurriness 2\n' >gblur.log
printf 'Resize Smooth, Width 1024, Height 1024\n' >resize.log
printf 'Rotate Angle, Angle 45\n' >rotate.log

python3 - "$work" "$magick" "${VELLTILE_RUNS:-7}" "${ours[@]}" <<'PY'
import math, subprocess, sys
from compare_lib import timed, ratio

work, magick, runs, ours = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4:]
side = 4096
bmp_in, bmp_out = f"{work}/in.bmp", f"{work}/out.bmp"
v_in, v_out = f"{work}/in.v", f"{work}/out.v"
m_in, m_out = f"{work}/in.miff", f"{work}/out.miff"
im = [magick, "-limit", "thread", "1", m_in]
c = math.cos(math.radians(45))
s = math.sin(math.radians(45))
half = side // 2

def our(op):
    if ours[-1] == "replay":
        return ours + [f"{work}/{op}.log", "--input", bmp_in, "--output", bmp_out]
    return ours + [op, bmp_in, bmp_out]

ops = [
    ("negate", ["vips", "invert", v_in, v_out], im + ["-negate", m_out]),
    ("blur", ["vips", "conv", v_in, v_out, f"{work}/blur.mat", "--precision", "integer"],
     im + ["-convolve", "3,3,3,3,8,3,3,3,3", m_out]),
    ("gblur", ["vips", "gaussblur", v_in, v_out, "3", "--min-ampl", "0.029", "--precision", "integer"],
     im + ["-blur", "8x3", m_out]),
    ("resize", ["vips", "resize", v_in, v_out, "0.25", "--kernel", "linear"],
     im + ["-filter", "Triangle", "-resize", "1024x1024!", m_out]),
    ("rotate", ["vips", "affine", v_in, v_out, f"{c} {-s} {s} {c}", "--interpolate", "nearest",
                "--idx", str(-half), "--idy", str(-half), "--odx", str(half), "--ody", str(half),
                "--oarea", f"0 0 {side} {side}", "--extend", "repeat"],
     im + ["-virtual-pixel", "tile", "-interpolate", "nearest-neighbor", "-filter", "point",
           "-distort", "SRT", "45", m_out]),
]

def show(t):
    return "n/a" if t is None else f"{t[1]:6.0f} / {t[0]:6.0f}"

runner = "velltile replay" if ours[-1] == "replay" else "velltile_bench --process (no velltile in this tree)"
print(f"{side} x {side}, one thread each, median of {runs} runs; ours: {runner}")
print("ms CPU / wall, whole process: read, effect, write")
print(f"{'op':8} {'ours':>15} {'vips':>15} {'ImageMagick':>15}   ours/vips CPU (wall)   ours/IM CPU (wall)")
cpu = lambda t: None if t is None else t[1]
wall = lambda t: None if t is None else t[0]
for op, v, m in [("copy", ["vips", "copy", v_in, v_out], im + [m_out])] + ops:
    to, tv, tm = timed(our(op), runs), timed(v, runs), timed(m, runs)
    print(f"{op:8} {show(to):>15} {show(tv):>15} {show(tm):>15}   "
          f"{ratio(cpu(to), cpu(tv)):>6} ({ratio(wall(to), wall(tv)):>5})        "
          f"{ratio(cpu(to), cpu(tm)):>6} ({ratio(wall(to), wall(tm)):>5})", flush=True)
PY
