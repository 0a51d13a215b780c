#!/usr/bin/env bash
# Times the seam score of a 4096 x 4096 tile beside ImageMagick and libvips
# computing the same thing, single-threaded, in the same run, and prints the
# ratios (theirs / ours: above 1 means ours is faster).
#
#   bench/seam_compare.sh [build folder]      (default: build-bench)
#
# The same thing: the mean absolute difference of every pixel with its right
# and its lower neighbour, wrapping round (which is the interior and the edge
# steps together). ImageMagick: -roll by one pixel, difference, mean, for
# each direction, from its MIFF file. vips: wrap, subtract, abs and avg on its
# native .v file, each direction, less a plain `vips copy` per command run so
# start-up and file reading are not counted. CPU milliseconds (user +
# system), best of 3. Ours: Google Benchmark's CPU time per score.
set -euo pipefail

. "$(dirname "$0")/compare_lib.sh"
side=4096

command -v vips >/dev/null || { echo "vips not found (package libvips-tools)" >&2; exit 1; }

echo "== building seam_bench and imaging_tool"
bench_build "${1:-$(cd "$(dirname "$0")/.." && pwd)/build-bench}" seam_bench imaging_tool

bench_workdir seam_compare
cd "$work"
bench_tools
[ "$have_magick" = 1 ] || { echo "ImageMagick not found" >&2; exit 1; }
im=$magick

"$build/bench/imaging_tool" make in.bmp $side $side
"$im" in.bmp in.miff
vips copy in.bmp in.v

magick_steps() {
  "$im" in.miff \( +clone -roll +1+0 \) -compose difference -composite -format '%[fx:mean]' info:
  "$im" in.miff \( +clone -roll +0+1 \) -compose difference -composite -format '%[fx:mean]' info:
}
magick_read() { "$im" in.miff -format '%w' info:; "$im" in.miff -format '%w' info:; }
vips_steps() {
  for d in "--x 1 --y 0" "--x 0 --y 1"; do
    # shellcheck disable=SC2086
    vips wrap in.v w.v $d
    vips subtract in.v w.v d.v
    vips abs d.v a.v
    vips avg a.v
  done
}
vips_read() { for i in 1 2 3 4 5 6 7 8; do vips copy in.v c.v; done; }

m_all=$(best_ms magick_steps)
m_read=$(best_ms magick_read)
v_all=$(best_ms vips_steps)
v_read=$(best_ms vips_read)
magick_op=$(minus_ms "$m_all" "$m_read")
vips_op=$(minus_ms "$v_all" "$v_read")

echo "== ours (CPU ms per score)"
"$build/bench/seam_bench" --benchmark_min_time=0.5 --benchmark_format=csv 2>/dev/null | awk -F, '
  /^"BM_/ { gsub(/"/, "", $1); printf "  %-26s %8.2f ms\n", $1, $4 }' | tee ours.txt
ours=$(awk '$1 == "BM_MeasureSeam" { print $2 }' ours.txt)

echo
echo "ImageMagick neighbour differences: $magick_op ms ($m_all ms - reading $m_read ms)"
echo "vips neighbour differences: $vips_op ms ($v_all ms - copies $v_read ms)"
awk -v m="$magick_op" -v v="$vips_op" -v o="$ours" 'BEGIN {
  printf "ratio ImageMagick / ours: %.2f\nratio vips / ours: %.2f\n", m / o, v / o }'
