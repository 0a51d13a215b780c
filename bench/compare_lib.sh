# Set-up, timing and ratio helpers shared by the bench/*_compare.sh scripts (sourced).
#
#   bench_build DIR TARGET...   configures DIR (Release, benchmarks on, no tests, no windows)
#                               unless VELL_BENCH_BUILD names a configured tree, then builds
#                               the targets; sets root, src (VELL_SOURCE_DIR or this tree), build
#   bench_workdir NAME          a fresh temporary folder in $work, removed on exit
#   bench_tools                 one thread for every tool; magick (the versioned ImageMagick
#                               binary when present), have_vips, have_magick; an ImageMagick
#                               resource policy in $work so that it works in memory
#   bench_json PROGRAM JSON [FLAGS...]
#                               the program's Google Benchmark medians of 3 repetitions, as JSON
#   cpu_ms CMD...               CPU milliseconds (user + system) of one run
#   best_ms CMD...              the least of $runs runs of cpu_ms (runs defaults to 3)
#   ratio A B                   A / B with two decimals, n/a when B is not above 0
#   minus_ms A B                A - B, at least 1
# Python parts import bench/compare_lib.py (PYTHONPATH is set here).

bench_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export PYTHONPATH="$bench_dir${PYTHONPATH:+:$PYTHONPATH}"
runs=${runs:-3}

bench_build() {
  local dir=$1
  shift
  root="$(cd "$bench_dir/.." && pwd)"
  src="${VELL_SOURCE_DIR:-$root}"
  build="${VELL_BENCH_BUILD:-$dir}"
  if [ -z "${VELL_BENCH_BUILD:-}" ]; then
    cmake -S "$src" -B "$build" -G Ninja -DVELL_BENCH=ON -DVELL_TESTS=OFF -DVELL_GUI=OFF \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
  fi
  cmake --build "$build" --target "$@" >/dev/null
}

bench_workdir() {
  work="$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX")"
  trap 'rm -rf "$work"' EXIT
}

bench_tools() {
  export VIPS_CONCURRENCY=1 MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1
  magick=convert
  command -v convert-im6.q16 >/dev/null && magick=convert-im6.q16
  have_vips=0
  command -v vips >/dev/null && have_vips=1
  have_magick=0
  command -v "$magick" >/dev/null && have_magick=1
  # The system's policy may cap memory well below what a few 4096 x 4096 pictures
  # need, which would time ImageMagick's disk cache instead of its work.
  if [ -n "${work:-}" ]; then
    cat >"$work/policy.xml" <<'XML'
<policymap>
  <policy domain="resource" name="memory" value="4GiB"/>
  <policy domain="resource" name="map" value="8GiB"/>
  <policy domain="resource" name="area" value="1GP"/>
</policymap>
XML
    export MAGICK_CONFIGURE_PATH="$work"
  fi
}

bench_json() {
  local program=$1 json=$2
  shift 2
  "$program" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_out="$json" --benchmark_out_format=json "$@" >/dev/null 2>&1
}

cpu_ms() {
  local TIMEFORMAT='%3U %3S' t
  t=$({ time "$@" >/dev/null 2>&1; } 2>&1) || { echo "failed: $*" >&2; exit 1; }
  awk -v t="$t" 'BEGIN { split(t, p, " "); printf "%d", (p[1] + p[2]) * 1000 }'
}

best_ms() {
  local b=999999999 t i
  for ((i = 0; i < runs; i++)); do
    t=$(cpu_ms "$@")
    ((t < b)) && b=$t
  done
  echo "$b"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b <= 0) print "n/a"; else printf "%.2f", a / b }'; }
minus_ms() { awk -v a="$1" -v b="$2" 'BEGIN { d = a - b; printf "%d", (d < 1) ? 1 : d }'; }
