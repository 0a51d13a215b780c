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
root="$(cd "$(dirname "$0")/.." && pwd)"
src="${VELL_SOURCE_DIR:-$root}"
build="$root/build-bench-warps"
cmake -S "$src" -B "$build" -G Ninja -DVELL_BENCH=ON -DVELL_TESTS=OFF -DVELL_GUI=OFF \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target warps_bench >/dev/null

work="$(mktemp -d "${TMPDIR:-/tmp}/warps_compare.XXXXXX")"
trap 'rm -rf "$work"' EXIT
"$build/bench/warps_bench" --write-ppm="$work/in.ppm" --write-map="$work/map.ppm"

filter="${WARPS_FILTER:-}"
json="$build/warps_bench.json"
"$build/bench/warps_bench" --benchmark_filter="${filter:-.}" --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true --benchmark_min_time=0.1 \
  --benchmark_out="$json" --benchmark_out_format=json >/dev/null 2>&1

magick=convert
command -v convert-im6.q16 >/dev/null && magick=convert-im6.q16
export MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1
# ImageMagick's own resource policy for these runs only, so that it works in memory.
cat >"$work/policy.xml" <<'XML'
<policymap>
  <policy domain="resource" name="memory" value="4GiB"/>
  <policy domain="resource" name="map" value="8GiB"/>
  <policy domain="resource" name="area" value="1GP"/>
</policymap>
XML
export MAGICK_CONFIGURE_PATH="$work"
have_magick=0
if command -v "$magick" >/dev/null; then
  have_magick=1
  "$magick" "$work/in.ppm" "$work/in.mpc"
  "$magick" "$work/map.ppm" "$work/map.mpc"
fi

python3 - "$json" "$work" "$have_magick" "$magick" "${WARPS_RUNS:-3}" "$filter" <<'PY'
import json, resource, subprocess, sys, time

bench, work, have_magick, magick, runs, filt = sys.argv[1:7]
runs = int(runs)
ours = {b["run_name"].split("/")[0]: b for b in json.load(open(bench))["benchmarks"]
        if b.get("aggregate_name") == "median"}

def timed(cmd):
    """Median wall and CPU milliseconds of a command."""
    walls, cpus = [], []
    for _ in range(runs):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        t = time.perf_counter()
        subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        walls.append((time.perf_counter() - t) * 1000)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpus.append(((after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)) * 1000)
    return sorted(walls)[len(walls) // 2], sorted(cpus)[len(cpus) // 2]

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
