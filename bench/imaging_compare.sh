#!/usr/bin/env bash
# Times the colour engine beside libvips and ImageMagick on one 4096 x 4096
# 24-bit picture, all single-threaded, in the same run, and prints ratios
# (theirs / ours: above 1 means ours is faster).
#
#   bench/imaging_compare.sh [build folder]      (default: build-bench)
#
# Times are CPU milliseconds (user + system), best of 3: the machine may be
# shared, and waiting for a core is nobody's cost. Two views:
#   whole process  read the BMP, apply the operation, write a BMP
#   operation      ours: the tool's own timer around the operation alone;
#                  vips: (operation run) - (plain copy run) on its native .v files;
#                  ImageMagick: (33 operations in one run - 1 operation) / 32 on its
#                  native .mpc files; as close to the operation alone as their
#                  command lines allow
# Operations: negate (vips invert, convert -negate) and a levels table
# (vips maplut, convert -level 10%,90%), plus a copy for reference.
set -euo pipefail

. "$(dirname "$0")/compare_lib.sh"
side=4096

command -v vips >/dev/null || { echo "vips not found (package libvips-tools)" >&2; exit 1; }
magick=$(command -v convert-im6.q16 || command -v convert || true)
[ -n "$magick" ] || { echo "ImageMagick convert not found (package imagemagick)" >&2; exit 1; }

echo "== building imaging_tool and imaging_bench"
bench_build "${1:-$(cd "$(dirname "$0")/.." && pwd)/build-bench}" imaging_tool imaging_bench
tool=$build/bench/imaging_tool
bench=$build/bench/imaging_bench

bench_workdir imaging_compare
cd "$work"

export VIPS_CONCURRENCY=1 MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1
im() { "$magick" -limit thread 1 "$@"; }

# Our operation alone, as the tool reports it (best of the runs).
ours_op() {
  local b=999999999 t i
  for ((i = 0; i < runs; i++)); do
    t=$("$tool" "$1" in.bmp out_ours.bmp | awk '/^op_ms/ {print $2}')
    b=$(awk -v a="$t" -v b="$b" 'BEGIN {print (a < b) ? a : b}')
  done
  echo "$b"
}

echo "== input: ${side}x${side} 24-bit BMP; ImageMagick: $magick; vips $(vips --version | head -1)"
"$tool" make in.bmp $side $side
vips copy in.bmp in.v
im in.bmp in.mpc
# The levels table of ImageMagick's -level 10%,90% for vips: 25.5 -> 0, 229.5 -> 255,
# rounded (cast truncates, hence the extra 0.5).
vips identity lut0.v
vips linear -- lut0.v lut1.v 1.25 -31.375
vips cast lut1.v lut.v uchar

pixels=$((side * side * 3))
same() { cmp -s <(tail -c $pixels "$1") <(tail -c $pixels "$2") && echo same || echo differ; }

printf '\n%-8s | %-26s | %-26s | %-26s\n' op "ours ms (process / op)" "vips ms (process / op)" "ImageMagick ms (process / op)"
declare -A ours_p ours_o vips_p vips_o im_p im_o
for op in copy negate level; do
  case $op in
    copy) vop=(copy); iop=() ;;
    negate) vop=(invert); iop=(-negate) ;;
    level) vop=(maplut); iop=(-level 10%,90%) ;;
  esac
  vextra=()
  [ "$op" = level ] && vextra=(lut.v)
  ours_p[$op]=$(best_ms "$tool" "$op" in.bmp out_ours.bmp)
  ours_o[$op]=$(ours_op "$op")
  vips_p[$op]=$(best_ms vips "${vop[@]}" in.bmp out_vips.bmp "${vextra[@]}")
  vips_o[$op]=$(best_ms vips "${vop[@]}" in.v out_vips.v "${vextra[@]}")
  im_p[$op]=$(best_ms im in.bmp "${iop[@]}" out_im.bmp)
  if [ "$op" = copy ]; then
    im_o[$op]=$(best_ms im in.mpc out_im.mpc)
  else
    repeated=()
    for ((k = 0; k < 33; k++)); do repeated+=("${iop[@]}"); done
    once=$(best_ms im in.mpc "${iop[@]}" out_im.mpc)
    many=$(best_ms im in.mpc "${repeated[@]}" out_im.mpc)
    im_o[$op]=$(awk -v a="$many" -v b="$once" 'BEGIN { d = (a - b) / 32; printf "%.1f", (d < 0.1) ? 0.1 : d }')
  fi
done
for op in copy negate level; do
  if [ "$op" = copy ]; then vo="${vips_o[copy]} (native)"; io="${im_o[copy]} (native)"; else
    vo=$(minus_ms "${vips_o[$op]}" "${vips_o[copy]}"); io=${im_o[$op]}; fi
  printf '%-8s | %8s / %-15s | %8s / %-15s | %8s / %-15s\n' "$op" "${ours_p[$op]}" "${ours_o[$op]}" \
    "${vips_p[$op]}" "$vo" "${im_p[$op]}" "$io"
done

echo
echo "ratios, theirs / ours (above 1: ours faster)"
for op in negate level; do
  vo=$(minus_ms "${vips_o[$op]}" "${vips_o[copy]}")
  io=${im_o[$op]}
  printf '%-8s whole process: vips %s, ImageMagick %s; operation: vips %s, ImageMagick %s\n' "$op" \
    "$(ratio "${vips_p[$op]}" "${ours_p[$op]}")" "$(ratio "${im_p[$op]}" "${ours_p[$op]}")" \
    "$(ratio "$vo" "${ours_o[$op]}")" "$(ratio "$io" "${ours_o[$op]}")"
done

echo
echo "results agree (picture bytes):"
"$tool" negate in.bmp out_ours.bmp >/dev/null
vips invert in.bmp out_vips.bmp
im in.bmp -negate out_im.bmp
echo "  negate: ours vs vips $(same out_ours.bmp out_vips.bmp), ours vs ImageMagick $(same out_ours.bmp out_im.bmp)"
"$tool" level in.bmp out_ours.bmp >/dev/null
vips maplut in.bmp out_vips.bmp lut.v
im in.bmp -level 10%,90% out_im.bmp
echo "  level:  ours vs vips $(same out_ours.bmp out_vips.bmp), ours vs ImageMagick $(same out_ours.bmp out_im.bmp)" \
  "(ImageMagick rounds its 16-bit levels to bytes; a few values may differ by one)"

echo
echo "== in-process: every colour operation against a plain read-and-write pass (CPU time)"
"$bench" --benchmark_min_time=0.2 --benchmark_format=csv 2>/dev/null | awk -F, '
  /^"BM_/ { gsub(/"/, "", $1); name[++n] = $1; cpu[n] = $4; if ($1 == "BM_ReadWritePass") base = $4 }
  END { for (i = 1; i <= n; i++) printf "  %-26s %8.2f ms  %5.2fx\n", name[i], cpu[i], (base > 0) ? cpu[i] / base : 0 }'
