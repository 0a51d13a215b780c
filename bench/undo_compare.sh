#!/usr/bin/env bash
# Times one Apply of Negative on a 4096 x 4096 picture (undo snapshot, the
# operation, the log line) beside libvips inverting the same picture into a
# new one, single-threaded, in the same run, and prints the ratio
# (theirs / ours: above 1 means ours is faster).
#
#   bench/undo_compare.sh [build folder]      (default: build-bench)
#
# vips: CPU milliseconds (user + system), best of 3, of `vips invert` on its
# native .v file less a plain `vips copy` of it, so start-up and file
# reading are not counted: what remains is reading every pixel and writing
# a second picture, which is what our snapshot plus the operation do.
# Ours: Google Benchmark's CPU time per Apply.
set -euo pipefail

. "$(dirname "$0")/compare_lib.sh"
side=4096

command -v vips >/dev/null || { echo "vips not found (package libvips-tools)" >&2; exit 1; }

echo "== building undo_bench and imaging_tool"
bench_build "${1:-$(cd "$(dirname "$0")/.." && pwd)/build-bench}" undo_bench imaging_tool

bench_workdir undo_compare
cd "$work"
export VIPS_CONCURRENCY=1


"$build/bench/imaging_tool" make in.bmp $side $side
vips copy in.bmp in.v
copy=$(best_ms vips copy in.v out.v)
invert=$(best_ms vips invert in.v out.v)
vips_op=$(awk -v a="$invert" -v b="$copy" 'BEGIN { d = a - b; printf "%d", (d < 1) ? 1 : d }')

echo "== ours (CPU ms per iteration)"
"$build/bench/undo_bench" --benchmark_min_time=0.5 --benchmark_format=csv 2>/dev/null | awk -F, '
  /^"BM_/ { gsub(/"/, "", $1); printf "  %-26s %8.2f ms\n", $1, $4 }' | tee ours.txt
road=$(awk '$1 == "BM_ApplyNegativeRoad" { print $2 }' ours.txt)

echo
echo "vips invert into a new picture: $vips_op ms (invert $invert ms - copy $copy ms)"
awk -v v="$vips_op" -v o="$road" 'BEGIN { printf "ratio vips / our whole Apply road: %.2f\n", v / o }'
