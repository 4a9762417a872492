#!/usr/bin/env bash
# Compares sides the way the speed figures are taken: every process pinned
# to one core, one fresh process per side per round, the sides in a shuffled
# order each round. Prints each side's median and, as fresh processes fall
# into a fast and a slow mode, the median of each mode; then the ratio of
# every side to the first.
#
#   bench/compare.sh [-r ROUNDS] [-c CORE] SIDE...
#
# A SIDE is NAME=HOW, where HOW is one of
#   x:COMMAND ARGS...      the command started under bench's x_first_pixels
#                          (needs DISPLAY, see startup_compare.sh): its first
#                          pixels at the X server, ms from its start
#   b:BINARY:FILTER        a Google Benchmark binary run on the benchmarks
#                          matching FILTER: the real time of the first one
#   c:COMMAND ARGS...      any command whose output's last line starts with
#                          the figure
# e.g. (from the build folder)
#   ../bench/compare.sh before=b:../build-base/build/bench/bench_images:DecodeAnimated \
#                       after=b:bench/bench_images:DecodeAnimated
set -euo pipefail
rounds=10
core=2
while getopts "r:c:" opt; do
  case $opt in
    r) rounds=$OPTARG ;;
    c) core=$OPTARG ;;
    *) exit 1 ;;
  esac
done
shift $((OPTIND - 1))
[ $# -ge 1 ] || { sed -n '2,24p' "$0"; exit 1; }
here=$(cd "$(dirname "$0")" && pwd)
firstpixels=${X_FIRST_PIXELS:-}
if [ -z "$firstpixels" ]; then
  for f in "$here/../build/bench/x_first_pixels" "./bench/x_first_pixels"; do
    [ -x "$f" ] && firstpixels=$f && break
  done
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

names=()
hows=()
for side in "$@"; do
  names+=("${side%%=*}")
  hows+=("${side#*=}")
done

measure() {
  local how=$1
  case $how in
    x:*)
      # shellcheck disable=SC2086
      taskset -c "$core" "$firstpixels" ${how#x:} | awk '{print $2}' ;;
    b:*)
      local rest=${how#b:} bin filter
      bin=${rest%%:*}
      filter=${rest#*:}
      taskset -c "$core" "$bin" --benchmark_filter="$filter" --benchmark_format=csv 2>/dev/null |
        awk -F, '/^"/ && !done {print $3; done=1}' ;;
    c:*)
      # shellcheck disable=SC2086
      taskset -c "$core" ${how#c:} | tail -n 1 | awk '{print $1}' ;;
    *) echo "unknown side: $how" >&2; return 1 ;;
  esac
}

for ((r = 1; r <= rounds; r++)); do
  for i in $(seq 0 $((${#names[@]} - 1)) | shuf); do
    value=$(measure "${hows[$i]}")
    [ -n "$value" ] || { echo "${names[$i]}: no figure in round $r" >&2; exit 1; }
    echo "$value" >> "$out/$i"
  done
done

# Median of the values in a file; the modes split the sorted values at their
# widest gap when it is over a tenth of the median.
summary() {
  sort -g "$1" | awk '
    function median(a, lo, hi,   n) { n = hi - lo + 1; return (n % 2) ? a[lo + (n - 1) / 2] : (a[lo + n / 2 - 1] + a[lo + n / 2]) / 2 }
    { v[NR] = $1 }
    END {
      m = median(v, 1, NR); gap = 0; at = 0
      for (i = 1; i < NR; i++) if (v[i + 1] - v[i] > gap) { gap = v[i + 1] - v[i]; at = i }
      printf "%.3f [%.3f-%.3f]", m, v[1], v[NR]
      if (gap > m / 10) printf "  fast %.3f (%d)  slow %.3f (%d)", median(v, 1, at), at, median(v, at + 1, NR), NR - at
      else printf "  one mode"
      printf " %.3f\n", m
    }'
}

echo "rounds $rounds, core $core (median [range], modes with their counts)"
base=""
for i in $(seq 0 $((${#names[@]} - 1))); do
  line=$(summary "$out/$i")
  med=${line##* }
  printf "%-10s %s\n" "${names[$i]}" "${line% *}"
  if [ -z "$base" ]; then base=$med; else
    awk -v a="$med" -v b="$base" -v n="${names[$i]}" -v f="${names[0]}" 'BEGIN { printf "           %s / %s = %.2f\n", n, f, a / b }'
  fi
done
