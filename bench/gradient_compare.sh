#!/usr/bin/env bash
# Times the two-colour gradient styles on 4096 x 4096 beside ImageMagick's own gradients
# in one run, each on one thread, and prints ratios (below 1: ours is faster):
#   Vertical   ImageMagick gradient:navy-aqua
#   Elliptic   ImageMagick radial-gradient:aqua-navy
# ImageMagick's figures are whole command runs minus the same tool making a plain
# picture of that size (xc:black). Every style is also set against one plain pass over
# the picture (every byte inverted, bench/gradient_bench's BM_OnePass): the radial
# styles fill their wedges in one pass and should stay within a few such passes.
# Ratios use CPU time (user + system), which a busy machine disturbs less than wall time.
#   bench/gradient_compare.sh       builds in build-bench-gradient and runs
#   GRADIENT_RUNS=3                 runs of each tool command (median taken)
set -euo pipefail
. "$(dirname "$0")/compare_lib.sh"
bench_build "$(cd "$(dirname "$0")/.." && pwd)/build-bench-gradient" gradient_bench

bench_workdir gradient_compare
json="$work/gradient_bench.json"
"$build/bench/gradient_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  --benchmark_out="$json" --benchmark_out_format=json >/dev/null 2>&1

bench_tools

python3 - "$json" "$work" "$have_magick" "$magick" "${GRADIENT_RUNS:-3}" <<'PY'
import compare_lib
import json, resource, subprocess, sys

bench, work, have_magick, magick, runs = sys.argv[1:6]
runs = int(runs)
ours = {}
for b in json.load(open(bench))["benchmarks"]:
    if b.get("aggregate_name") != "median":
        continue
    name = b["run_name"]
    label = b.get("label", "")
    ours[label or name] = b["cpu_time"] * {"ms": 1, "us": 1e-3, "ns": 1e-6}[b["time_unit"]]

def cpu(cmd):
    return compare_lib.cpu(cmd, runs)

one_pass = ours["BM_OnePass"]
print(f"{'style':<14}{'ours ms':>10}{'x one pass':>12}")
for style in ["Horizontal", "Vertical", "Elliptic", "Rectangle", "VertCenter", "HorizCenter", "Radial1", "Radial2"]:
    print(f"{style:<14}{ours[style]:>10.1f}{ours[style] / one_pass:>12.2f}")
for name in ["BM_MultiGradient", "BM_Rainbow", "BM_ColorWheel"]:
    print(f"{name[3:]:<14}{ours[name]:>10.2f}")

if have_magick == "1":
    lim = ["-limit", "thread", "1", "-size", "4096x4096"]
    base = cpu([magick] + lim + ["xc:black", f"{work}/o.mpc"])
    print(f"\n{'ours vs ImageMagick':<34}{'ours ms':>10}{'IM ms':>10}{'ratio':>8}")
    for style, fill in [("Vertical", "gradient:navy-aqua"), ("Elliptic", "radial-gradient:aqua-navy")]:
        theirs = max(cpu([magick] + lim + [fill, f"{work}/o.mpc"]) - base, 0.001)
        print(f"{style + ' / ' + fill:<34}{ours[style]:>10.1f}{theirs:>10.1f}{ours[style] / theirs:>8.2f}")
else:
    print("ImageMagick not found: our figures only")
PY
