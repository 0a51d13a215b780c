#!/usr/bin/env bash
# Times the flood fill of two 4096 x 4096 pictures (all black; black with 3 % white wall
# pixels), seed near the top-left corner, beside libvips (draw_flood) and ImageMagick (-draw
# "color floodfill") in one run, each tool on one thread, and prints ratios (below 1: ours is
# faster). Our figures come from bench/canvas_bench (in memory); the tools' from whole
# command runs minus the same tool's plain load + store of the same file. Ratios use CPU
# time (user + system); wall-time ratios are printed beside them. Our fills are also set
# against one read-modify-write pass over the picture (BM_ReadWritePass).
#   bench/canvas_compare.sh         builds in build-bench-canvas and runs
#   CANVAS_RUNS=3                   runs of each tool command (median taken)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-bench-canvas"
cmake -S "$root" -B "$build" -G Ninja -DVELL_BENCH=ON -DVELL_TESTS=OFF -DVELL_GUI=OFF \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target canvas_bench >/dev/null

work="$(mktemp -d "${TMPDIR:-/tmp}/canvas_compare.XXXXXX")"
trap 'rm -rf "$work"' EXIT
"$build/bench/canvas_bench" --write-ppm="$work/walled.ppm"
"$build/bench/canvas_bench" --write-flat-ppm="$work/flat.ppm"
json="$build/canvas_bench.json"
"$build/bench/canvas_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  --benchmark_out="$json" --benchmark_out_format=json >/dev/null 2>&1

magick=convert
command -v convert-im6.q16 >/dev/null && magick=convert-im6.q16
export VIPS_CONCURRENCY=1 MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1
# ImageMagick's own resource policy for these runs only: the system's may cap the picture's
# area below 4096 x 4096, which makes the fill fail.
cat >"$work/policy.xml" <<'XML'
<policymap>
  <policy domain="resource" name="memory" value="4GiB"/>
  <policy domain="resource" name="map" value="8GiB"/>
  <policy domain="resource" name="area" value="1GP"/>
</policymap>
XML
export MAGICK_CONFIGURE_PATH="$work"
have_vips=0; command -v vips >/dev/null && have_vips=1
have_magick=0; command -v "$magick" >/dev/null && have_magick=1
for p in walled flat; do
  [ "$have_vips" = 1 ] && vips copy "$work/$p.ppm" "$work/$p.v"
  [ "$have_magick" = 1 ] && "$magick" "$work/$p.ppm" "$work/$p.mpc"
done

python3 - "$json" "$work" "$have_vips" "$have_magick" "$magick" "${CANVAS_RUNS:-3}" <<'PY'
import json, resource, subprocess, sys, time

bench, work, have_vips, have_magick, magick, runs = sys.argv[1:7]
runs = int(runs)
ours = {b["run_name"].split("/")[0]: b for b in json.load(open(bench))["benchmarks"]
        if b.get("aggregate_name") == "median"}

def timed(cmd):
    """Median wall and CPU milliseconds of a command, or None when it fails."""
    walls, cpus = [], []
    for _ in range(runs):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        t = time.perf_counter()
        r = subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if r.returncode != 0:
            return None
        walls.append((time.perf_counter() - t) * 1000)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpus.append(((after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)) * 1000)
    return sorted(walls)[len(walls) // 2], sorted(cpus)[len(cpus) // 2]

p = ours["BM_ReadWritePass"]
print("4096 x 4096, one thread each")
for name in ("BM_FloodFillFlat", "BM_FloodFillWalled", "BM_FloodFillWalledWrapped"):
    o = ours[name]
    print(f"{name}: {o['real_time']:.1f} ms wall, {o['cpu_time']:.1f} ms CPU = "
          f"{o['cpu_time'] / p['cpu_time']:.2f} passes (CPU)")

for picture, name in (("flat", "BM_FloodFillFlat"), ("walled", "BM_FloodFillWalled")):
    o = ours[name]
    tools = []
    if have_vips == "1":
        # draw_flood changes its file in place: each run starts from a fresh copy.
        t = f"{work}/t.v"
        tools.append(("vips", ["sh", "-c", f"cp {work}/{picture}.v {t} && vips copy {t} {work}/o.v"],
                      ["sh", "-c", f"cp {work}/{picture}.v {t} && vips draw_flood {t} '48 128 240' 1 1 "
                       f"&& vips copy {t} {work}/o.v"]))
    if have_magick == "1":
        lim = ["-limit", "thread", "1"]
        tools.append(("ImageMagick", [magick, f"{work}/{picture}.mpc"] + lim + ["null:"],
                      [magick, f"{work}/{picture}.mpc"] + lim +
                      ["-fill", "rgb(48,128,240)", "-draw", "color 1,1 floodfill", "null:"]))
    for tool, base_cmd, cmd in tools:
        base, got = timed(base_cmd), timed(cmd)
        if base is None or got is None:
            print(f"{name} vs {tool}: {tool} failed on this picture")
            continue
        (bwall, bcpu), (wall, cpu) = base, got
        nwall, ncpu = max(wall - bwall, 0.1), max(cpu - bcpu, 0.1)
        print(f"{name} vs {tool}: {tool} {nwall:.1f} ms wall, {ncpu:.1f} ms CPU "
              f"(load + store {bwall:.0f} ms subtracted); ratio CPU {o['cpu_time'] / ncpu:.2f}, "
              f"wall {o['real_time'] / nwall:.2f}")
PY
