#!/usr/bin/env bash
# Compares benchmarks of two builds, as the figures in issues are taken:
# every process pinned to one core, the two sides run in shuffled order in
# each round, one fresh process per side per round.
#   compare.sh OLD_BIN NEW_BIN FILTER [ROUNDS=10] [CPU=3]
# OLD_BIN and NEW_BIN are the same benchmark program from two builds (for an
# old commit: `git archive COMMIT | tar -x -C DIR`, then tools/build.sh in
# DIR). For each benchmark and side it prints the median over the rounds, the
# range, and the medians of the faster and the slower half of the rounds:
# fresh processes fall into a fast and a slow mode, and both are quoted.
set -euo pipefail
old=$1 new=$2 filter=$3 rounds=${4:-10} cpu=${5:-3}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for ((r = 0; r < rounds; ++r)); do
  for side in $(printf 'old\nnew\n' | shuf); do
    bin=$old
    [ "$side" = new ] && bin=$new
    # A run that fails leaves its side one figure short (the counts show it).
    { taskset -c "$cpu" "$bin" --benchmark_filter="$filter" --benchmark_format=json 2>/dev/null || true; } |
      python3 -c '
import json, sys
try:
    runs = json.load(sys.stdin)["benchmarks"]
except ValueError:
    runs = []
for b in runs:
    print("%s,%s,%s,%s" % (sys.argv[1], b["name"], b["real_time"], b["time_unit"]))' "$side" >>"$out/runs.csv"
  done
done
# side,name,real_time,time_unit
sort -t, -k2,2 -k1,1r "$out/runs.csv" | awk -F, '
  function report(   n, i, j, t, lo, hi, half) {
    n = count
    for (i = 1; i <= n; ++i) for (j = i + 1; j <= n; ++j) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
    half = int(n / 2)
    lo = half ? median(1, half) : v[1]
    hi = half ? median(n - half + 1, n) : v[n]
    printf "%-48s %-4s median %9.3f %s  [%9.3f - %9.3f]  fast %9.3f  slow %9.3f  (%d runs)\n",
           name, side, median(1, n), unit, v[1], v[n], lo, hi, n
  }
  function median(a, b,   m) { m = b - a + 1; return m % 2 ? v[a + (m - 1) / 2] : (v[a + m / 2 - 1] + v[a + m / 2]) / 2 }
  { if ($1 != side || $2 != name) { if (count) report(); side = $1; name = $2; unit = $4; count = 0 }
    v[++count] = $3 + 0 }
  END { if (count) report() }'
