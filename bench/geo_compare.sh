#!/usr/bin/env bash
# Times geometry, tiling and filter operations beside libvips and ImageMagick on the same
# 4096 x 4096 picture in one run, each tool on one thread, and prints ratios (below 1: ours
# is faster). Our figures come from bench/geo_bench (in memory); the tools' from whole
# command runs, minus the same tool's run of a plain copy (load + store) on the same files.
# Ratios use CPU time (user + system), which a busy machine disturbs less than wall time;
# wall-time ratios are printed beside them.
#   bench/geo_compare.sh            builds in build-bench-geo and runs
#   VELL_SOURCE_DIR=/path ...       configures another source tree (same layout)
#   GEO_RUNS=3                      runs of each tool command (median taken)
set -euo pipefail
. "$(dirname "$0")/compare_lib.sh"
bench_build "$(cd "$(dirname "$0")/.." && pwd)/build-bench-geo" geo_bench

bench_workdir geo_compare
"$build/bench/geo_bench" --write-ppm="$work/in.ppm"

json="$build/geo_bench.json"
"$build/bench/geo_bench" --benchmark_repetitions=3 2>/dev/null --benchmark_report_aggregates_only=true \
  --benchmark_out="$json" --benchmark_out_format=json >/dev/null

# ImageMagick: the versioned binary when present (no wrapper in the timing).
bench_tools
[ "$have_vips" = 1 ] && vips copy "$work/in.ppm" "$work/in.v"
[ "$have_magick" = 1 ] && "$magick" "$work/in.ppm" "$work/in.mpc"
# Gaussian Soft for vips: width height scale offset, then the rows.
printf '3 3 16 0\n1 2 1\n2 4 2\n1 2 1\n' >"$work/soft.mat"

python3 - "$json" "$work" "$have_vips" "$have_magick" "$magick" "${GEO_RUNS:-3}" <<'PY'
import compare_lib
import json, os, resource, subprocess, sys, time

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

i_v, o_v = f"{work}/in.v", f"{work}/out.v"
i_m = f"{work}/in.mpc"
side = 4096
c, s = 0.8660254037844387, 0.5  # 30 degrees
tools = []
if have_vips == "1":
    base = timed(["vips", "copy", i_v, o_v])
    tools.append(("vips", base, {
        "BM_Convolve3x3": ["vips", "conv", i_v, o_v, f"{work}/soft.mat", "--precision", "integer"],
        # sigma 3 cut where our kernel is cut (half-size 8: amplitude exp(-64/18) = 0.029)
        "BM_GaussianBlur": ["vips", "gaussblur", i_v, o_v, "3", "--min-ampl", "0.029",
                            "--precision", "integer"],
        "BM_ResizeSmoothHalf": ["vips", "resize", i_v, o_v, "0.5", "--kernel", "linear"],
        "BM_ResizeSmoothDouble": ["vips", "resize", i_v, o_v, "2", "--kernel", "linear"],
        # same-size output, nearest sampling, wrap-around
        "BM_RotateInto": ["vips", "affine", i_v, o_v, f"{c} {-s} {s} {c}", "--interpolate", "nearest",
                          "--oarea", f"0 0 {side} {side}", "--extend", "repeat"],
    }))
if have_magick == "1":
    lim = ["-limit", "thread", "1"]
    base = timed([magick, i_m] + lim + ["null:"])
    tools.append(("ImageMagick", base, {
        "BM_Convolve3x3": [magick, i_m] + lim + ["-convolve", "1,2,1,2,4,2,1,2,1", "null:"],
        "BM_GaussianBlur": [magick, i_m] + lim + ["-blur", "8x3", "null:"],
        "BM_ResizeSmoothHalf": [magick, i_m] + lim + ["-filter", "triangle", "-resize", "50%", "null:"],
        "BM_ResizeSmoothDouble": [magick, i_m] + lim + ["-filter", "triangle", "-resize", "200%", "null:"],
        "BM_RotateInto": [magick, i_m] + lim + ["-virtual-pixel", "tile", "-interpolate", "nearest-neighbor",
                                                "-filter", "point", "-distort", "SRT", "30", "null:"],
    }))

print(f"4096 x 4096, one thread each; ratio = ours / tool (below 1: ours is faster)")
for name, b in sorted(ours.items()):
    print(f"{name}: ours {b['real_time']:.1f} ms wall, {b['cpu_time']:.1f} ms CPU")
for tool, (bwall, bcpu), cmds in tools:
    print(f"-- {tool} (load + store alone: {bwall:.0f} ms wall, {bcpu:.0f} ms CPU, subtracted)")
    for name, cmd in cmds.items():
        wall, cpu = timed(cmd)
        nwall, ncpu = max(wall - bwall, 0.1), max(cpu - bcpu, 0.1)
        o = ours[name]
        print(f"{name}: {tool} {nwall:.1f} ms wall, {ncpu:.1f} ms CPU; "
              f"ratio CPU {o['cpu_time'] / ncpu:.2f}, wall {o['real_time'] / nwall:.2f}")
PY
