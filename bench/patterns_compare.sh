#!/usr/bin/env bash
# Times the pattern generators beside the nearest standard operations of ImageMagick and
# libvips on the same 4096 x 4096 picture in one run, each tool on one thread, and prints
# ratios (below 1: ours is faster). Our figures come from bench/patterns_bench (in memory);
# the tools' from whole command runs, minus the same tool's run that only loads (or, for
# the plasma, only makes) the same picture.
#   plasma   ImageMagick plasma:fractal
#   mosaic   ImageMagick -scale down and up again; vips subsample and zoom (cell 3 and 16)
#   spray    ImageMagick -spread with tiled virtual pixels
#   bevel    ImageMagick -raise (Buttonize)
#   merge    ImageMagick -compose blend 50 (Merge Buffer)
# The rest have no standard peer and are listed with our figures only.
# Ratios use CPU time (user + system), which a busy machine disturbs less than wall time.
#   bench/patterns_compare.sh       builds in build-bench-patterns and runs
#   PATTERN_RUNS=3                  runs of each tool command (median taken)
set -euo pipefail
. "$(dirname "$0")/compare_lib.sh"
bench_build "$(cd "$(dirname "$0")/.." && pwd)/build-bench-patterns" patterns_bench

bench_workdir patterns_compare
"$build/bench/patterns_bench" --write-ppm="$work/in.ppm"
"$build/bench/patterns_bench" --write-other-ppm="$work/other.ppm"

json="$build/patterns_bench.json"
"$build/bench/patterns_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  --benchmark_out="$json" --benchmark_out_format=json >/dev/null 2>&1

bench_tools
[ "$have_vips" = 1 ] && vips copy "$work/in.ppm" "$work/in.v"
if [ "$have_magick" = 1 ]; then
  "$magick" "$work/in.ppm" "$work/in.mpc"
  "$magick" "$work/other.ppm" "$work/other.mpc"
fi

python3 - "$json" "$work" "$have_vips" "$have_magick" "$magick" "${PATTERN_RUNS:-3}" <<'PY'
import compare_lib
import json, resource, subprocess, sys, time

bench, work, have_vips, have_magick, magick, runs = sys.argv[1:7]
runs = int(runs)
ours = {b["run_name"].split("/")[0]: b for b in json.load(open(bench))["benchmarks"]
        if b.get("aggregate_name") == "median"}

def timed(cmd):
    """Median wall and CPU milliseconds of a command (it must succeed)."""
    t = compare_lib.timed(cmd, runs)
    if t is None:
        raise subprocess.CalledProcessError(1, cmd)
    return t

side = 4096
i_v, t_v, o_v = f"{work}/in.v", f"{work}/t.v", f"{work}/out.v"
i_m, other_m = f"{work}/in.mpc", f"{work}/other.mpc"
lim = ["-limit", "thread", "1"]
# (tool, our benchmark, command, baseline command)
peers = []
if have_magick == "1":
    load = [magick, i_m] + lim + ["null:"]
    def scaled(cell):
        small = -(-side // cell)
        return [magick, i_m] + lim + ["-scale", f"{small}x{small}!", "-scale", f"{side}x{side}!", "null:"]
    peers += [
        ("ImageMagick", "BM_PlasmaCloud", [magick] + lim + ["-size", f"{side}x{side}", "plasma:fractal", "null:"],
         [magick] + lim + ["-size", f"{side}x{side}", "xc:gray", "null:"]),
        ("ImageMagick", "BM_Mosaic", scaled(3), load),
        ("ImageMagick", "BM_Mosaic16", scaled(16), load),
        ("ImageMagick", "BM_Spray", [magick, i_m] + lim + ["-virtual-pixel", "tile", "-spread", "15", "null:"], load),
        ("ImageMagick", "BM_Buttonize", [magick, i_m] + lim + ["-raise", "20", "null:"], load),
        ("ImageMagick", "BM_MergeBuffer", [magick, i_m, other_m] + lim +
         ["-compose", "blend", "-define", "compose:args=50", "-composite", "null:"],
         [magick, i_m, other_m] + lim + ["null:"]),
    ]
if have_vips == "1":
    def pair(a, b):
        return ["sh", "-c", f"{a} && {b}"]
    # The pair reads the picture and writes one of the same size, as one copy does.
    copies = ["vips", "copy", i_v, o_v]
    for name, cell in (("BM_Mosaic", 3), ("BM_Mosaic16", 16)):
        peers.append(("vips", name, pair(f"vips subsample {i_v} {t_v} {cell} {cell}",
                                         f"vips zoom {t_v} {o_v} {cell} {cell}"), copies))

print(f"{side} x {side}, one thread each; ratio = ours / tool (below 1: ours is faster)")
for name, b in sorted(ours.items()):
    print(f"{name}: ours {b['real_time']:.1f} ms wall, {b['cpu_time']:.1f} ms CPU")
bases = {}
for tool, name, cmd, base in peers:
    key = tuple(base)
    if key not in bases:
        bases[key] = timed(base)
    bwall, bcpu = bases[key]
    wall, cpu = timed(cmd)
    nwall, ncpu = max(wall - bwall, 0.1), max(cpu - bcpu, 0.1)
    o = ours[name]
    if ncpu <= 0.1:
        print(f"{name} vs {tool}: {cpu:.1f} ms CPU, within its baseline ({bcpu:.0f} ms); no ratio")
        continue
    print(f"{name} vs {tool}: {nwall:.1f} ms wall, {ncpu:.1f} ms CPU (baseline {bcpu:.0f} ms CPU subtracted); "
          f"ratio CPU {o['cpu_time'] / ncpu:.2f}, wall {o['real_time'] / nwall:.2f}")
PY
