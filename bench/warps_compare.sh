#!/usr/bin/env bash
# Times the distortion and relief effects beside ImageMagick's nearest operations on the same
# 4096 x 4096 pictures in one run, each on one thread, and prints ratios (below 1: ours is
# faster). Our figures come from bench/warps_bench (in memory); ImageMagick's from whole
# command runs, minus its run of a plain load + store of the same inputs. Ratios use CPU time
# (user + system), which a busy machine disturbs less than wall time; wall-time ratios beside.
# The pairs are the nearest standard operations, not the same arithmetic:
#   sine waves      -wave (one vertical sine; SineWave Both does two shifts)
#   Whirl, Twist    -swirl          Pinch  -implode         FishEye  -distort Barrel
#   HeightMap       -shade          (Bump Map: -shade, then multiplied with the picture)
#   Water           a displacement map (-compose Displace)
#   Map Texture     -compose Multiply with the texture
#   StretchBlur     -motion-blur along the 45 degree shift
# Waves, Circular, RippleTooth and Swizzle have no such peer and are printed alone.
#   bench/warps_compare.sh                 builds in build-bench-warps and runs
#   VELL_SOURCE_DIR=/path ...              configures another source tree (same layout)
#   WARPS_RUNS=3                           runs of each ImageMagick command (median taken)
#   WARPS_FILTER=Whirl                     only the benchmarks whose name holds this text
set -euo pipefail
. "$(dirname "$0")/compare_lib.sh"
bench_build "$(cd "$(dirname "$0")/.." && pwd)/build-bench-warps" warps_bench

bench_workdir warps_compare
"$build/bench/warps_bench" --write-ppm="$work/in.ppm" --write-map="$work/map.ppm"

filter="${WARPS_FILTER:-}"
json="$build/warps_bench.json"
"$build/bench/warps_bench" --benchmark_filter="${filter:-.}" --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true --benchmark_min_time=0.1 \
  --benchmark_out="$json" --benchmark_out_format=json >/dev/null 2>&1

bench_tools
if [ "$have_magick" = 1 ]; then
  "$magick" "$work/in.ppm" "$work/in.mpc"
  "$magick" "$work/map.ppm" "$work/map.mpc"
fi

python3 - "$json" "$work" "$have_magick" "$magick" "${WARPS_RUNS:-3}" "$filter" <<'PY'
import compare_lib
import json, resource, subprocess, sys, time

bench, work, have_magick, magick, runs, filt = sys.argv[1:7]
runs = int(runs)
ours = {b["run_name"].split("/")[0]: b for b in json.load(open(bench))["benchmarks"]
        if b.get("aggregate_name") == "median"}

def timed(cmd):
    """Median wall and CPU milliseconds of a command (it must succeed)."""
    t = compare_lib.timed(cmd, runs)
    if t is None:
        raise subprocess.CalledProcessError(1, cmd)
    return t

i, m = f"{work}/in.mpc", f"{work}/map.mpc"
lim = ["-limit", "thread", "1"]
one = [magick, i] + lim
two = [magick, i, m] + lim
wave_ud = ["-background", "black", "-wave", "50x1365"]
pairs = {  # name: (inputs, operation)
    "BM_SineWaveUpDown": (one, wave_ud),
    "BM_SineWaveUpDownNoWrap": (one, wave_ud),
    "BM_SineWaveLeftRight": (one, ["-background", "black", "-wave", "64x2048"]),
    "BM_SineWaveBoth": (one, wave_ud),
    "BM_Whirl": (one, ["-swirl", "270"]),
    "BM_Twist": (one, ["-swirl", "270"]),
    "BM_Pinch": (one, ["-implode", "0.5"]),
    "BM_WhirlPinch": (one, ["-implode", "0.5", "-swirl", "270"]),
    "BM_FishEye": (one, ["-virtual-pixel", "tile", "-distort", "Barrel", "0.0 0.0 0.5"]),
    "BM_HeightMap": (one, ["-shade", "32x20"]),
    "BM_HeightMapBump": (one, ["(", "+clone", "-shade", "32x20", ")", "-compose", "Multiply", "-composite"]),
    "BM_Water": (two, ["-compose", "Displace", "-set", "option:compose:args", "100x64", "-composite"]),
    "BM_WaterSelf": (one, ["(", "+clone", ")", "-compose", "Displace", "-set", "option:compose:args", "-128x128",
                           "-composite"]),
    "BM_MapTexture": (two, ["-compose", "Multiply", "-composite"]),
    "BM_StretchBlur": (one, ["-motion-blur", "32x10+45"]),
    "BM_StretchBlurSelf": (one, ["-motion-blur", "32x10+45"]),
}

print("4096 x 4096, one thread each; ratio = ours / ImageMagick (below 1: ours is faster)")
bases = {}
if have_magick == "1":
    bases[id(one)] = timed(one + ["null:"])
    bases[id(two)] = timed(two + ["null:"])
    print(f"-- ImageMagick load + store alone: one picture {bases[id(one)][0]:.0f} ms wall, "
          f"{bases[id(one)][1]:.0f} ms CPU; two pictures {bases[id(two)][0]:.0f} ms wall, "
          f"{bases[id(two)][1]:.0f} ms CPU (subtracted)")
for name, o in sorted(ours.items()):
    line = f"{name}: ours {o['real_time']:.1f} ms wall, {o['cpu_time']:.1f} ms CPU"
    if name in pairs and have_magick == "1":
        inputs, op = pairs[name]
        bwall, bcpu = bases[id(inputs)]
        wall, cpu = timed(inputs + op + ["null:"])
        nwall, ncpu = max(wall - bwall, 0.1), max(cpu - bcpu, 0.1)
        line += (f"; ImageMagick {' '.join(op)}: {nwall:.1f} ms wall, {ncpu:.1f} ms CPU; "
                 f"ratio CPU {o['cpu_time'] / ncpu:.2f}, wall {o['real_time'] / nwall:.2f}")
    else:
        line += "; no peer"
    print(line)
PY
