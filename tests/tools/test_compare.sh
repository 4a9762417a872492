#!/usr/bin/env bash
# bench/compare.sh, sides form: a figure whose values fall in two modes gets
# no ratio (the run was too noisy to tell); one with a single mode, or with
# one outlier, gets its ratio.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Each run prints its figure; "two" alternates between 1 and 10, "outlier"
# is 3 but once 30.
echo 'echo 2' > "$work/base"
echo 'echo 3' > "$work/steady"
cat > "$work/outlier" <<'SH'
if [ -e outlier.n ]; then echo 3; else touch outlier.n; echo 30; fi
SH
cat > "$work/two" <<'SH'
n=$(cat two.n 2> /dev/null || echo 0)
echo $((n + 1)) > two.n
if [ $((n % 2)) = 0 ]; then echo 1; else echo 10; fi
SH
out=$(cd "$work" && bash "$top/bench/compare.sh" -r 6 -c 0 base=c:bash\ base steady=c:bash\ steady \
  two=c:bash\ two outlier=c:bash\ outlier 2> /dev/null)
fail() { echo "$1"; echo "$out"; exit 1; }
grep -qx '           steady / base = 1.50' <<< "$out" || fail "no ratio for the steady side"
grep -q 'two / base: no ratio, the run was too noisy' <<< "$out" || fail "the noisy side is not told"
if grep -q 'two / base =' <<< "$out"; then fail "a ratio for the side in two modes"; fi
grep -qx '           outlier / base = 1.50' <<< "$out" || fail "one value alone taken for a mode"
