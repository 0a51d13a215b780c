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
. "$(dirname "$0")/compare_lib.sh"
bench_build "$(cd "$(dirname "$0")/.." && pwd)/build-bench-canvas" canvas_bench

bench_workdir canvas_compare
"$build/bench/canvas_bench" --write-ppm="$work/walled.ppm"
"$build/bench/canvas_bench" --write-flat-ppm="$work/flat.ppm"
json="$build/canvas_bench.json"
"$build/bench/canvas_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  --benchmark_out="$json" --benchmark_out_format=json >/dev/null 2>&1

bench_tools
for p in walled flat; do
  [ "$have_vips" = 1 ] && vips copy "$work/$p.ppm" "$work/$p.v"
  [ "$have_magick" = 1 ] && "$magick" "$work/$p.ppm" "$work/$p.mpc"
done

python3 - "$json" "$work" "$have_vips" "$have_magick" "$magick" "${CANVAS_RUNS:-3}" <<'PY'
import compare_lib
import json, resource, subprocess, sys, time

bench, work, have_vips, have_magick, magick, runs = sys.argv[1:7]
runs = int(runs)
ours = {b["run_name"].split("/")[0]: b for b in json.load(open(bench))["benchmarks"]
        if b.get("aggregate_name") == "median"}

def timed(cmd):
    """Median wall and CPU milliseconds of a command, or None when it fails."""
    return compare_lib.timed(cmd, runs)

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
