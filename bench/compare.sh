#!/usr/bin/env bash
# Compares the way the speed figures are taken, so that a claimed speed-up is
# a ratio measured in one run: every process pinned to one core, one fresh
# process per side and measure each round, in a shuffled order each round.
# Prints each figure's median per side, its range and, as fresh processes can
# fall into a fast and a slow mode, whether the values split in two; then the
# ratios. A figure whose values split in two on either side gets no ratio:
# the run was too noisy to tell, and it says so.
#
#   bench/compare.sh [-r ROUNDS] [-c CORE] [-w WORKDIR] OLD NEW
#
# Two commits: builds OLD and NEW in WORKDIR (outside the checkout; default
# $TMPDIR/velorim-compare), optimised as the run command's build
# (RelWithDebInfo), each with the benchmark sources (bench/) and the data
# (data/) of NEW, and prints OLD/NEW for each figure (over 1: NEW is faster
# or smaller). Each side's build is kept in WORKDIR, and a later run
# rebuilds only what its commits change. The figures:
#   Finalizar until the screen is usable again, wall and CPU, and its first
#   paint; Próximo, the calculation pass over 597 months, wall and CPU, the
#   first of a case after start-up (one a process) and repeated ones; the
#   597-month report loaded and laid out, and the heap it holds; its relayout
#   between two widths where the columns keep theirs, and between two where
#   every cell is laid out again; one screen of it painted; the print
#   preview's first page of 597 rows; the program's start-up at an X server
#   (an Xvfb of its own, see xvfb.sh) to its usable frame, and to its first.
# A benchmark a commit cannot run is reported as skipped on that side, with
# its reason. Building needs what tools/build.sh needs; the start-up needs
# Xvfb and libxcb-damage0-dev. JOBS sets the build's parallel jobs.
# e.g. bench/compare.sh -r 10 10fe8f4 HEAD
#
#   bench/compare.sh [-r ROUNDS] [-c CORE] NAME=HOW...
#
# Sides: prints each side's figures and their ratio to the first side's. HOW
# is one of
#   x:COMMAND ARGS...      the command started under bench's x_first_pixels
#                          (needs DISPLAY, see startup_compare.sh): its usable
#                          frame and its first pixels at the X server, ms from
#                          its start
#   b:BINARY:FILTER[:FIELDS]
#                          a Google Benchmark binary run on the benchmark
#                          matching FILTER: the comma-separated FIELDS of its
#                          first result (real_time by default; cpu_time or a
#                          counter's name)
#   c:COMMAND ARGS...      any command whose output's last line starts with
#                          the figure
# e.g. (from the build folder)
#   ../bench/compare.sh before=b:../build-base/build/bench/bench_images:DecodeAnimated \
#                       after=b:bench/bench_images:DecodeAnimated
set -euo pipefail
rounds=10
core=2
work=${TMPDIR:-/tmp}/velorim-compare
while getopts "r:c:w:" opt; do
  case $opt in
    r) rounds=$OPTARG ;;
    c) core=$OPTARG ;;
    w) work=$OPTARG ;;
    *) exit 1 ;;
  esac
done
shift $((OPTIND - 1))
[ $# -ge 1 ] || { sed -n '2,/^set -euo/p' "$0" | sed '$d'; exit 1; }
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
firstpixels=${X_FIRST_PIXELS:-}
out=$(mktemp -d)
xvfb_pid=
trap 'source "$here/xvfb.sh"; stop_xvfb; rm -rf "$out"' EXIT

# ------------------------------------------------------------------ measuring

# Prints the figures of one run of HOW, space-separated, or "skip:REASON".
measure() {
  local how=$1
  case $how in
    x:*)
      # shellcheck disable=SC2086
      timeout 600 taskset -c "$core" "$firstpixels" ${how#x:} | awk '{print $3, $2}' ;;
    b:*)
      local rest=${how#b:} bin filter fields
      bin=${rest%%:*}
      rest=${rest#*:}
      filter=${rest%%:*}
      fields=real_time
      [ "$rest" != "$filter" ] && fields=${rest#*:}
      timeout 600 taskset -c "$core" "$bin" --benchmark_filter="$filter" --benchmark_format=csv 2> /dev/null |
        awk -v fields="$fields" '
          # A CSV line into a[1..n], quotes taken off.
          function cells(line, a,   n, i, c, f, q) {
            n = 0; f = ""; q = 0
            for (i = 1; i <= length(line); i++) {
              c = substr(line, i, 1)
              if (q) {
                if (c != "\"") f = f c
                else if (substr(line, i + 1, 1) == "\"") { f = f c; i++ }
                else q = 0
              } else if (c == "\"") q = 1
              else if (c == ",") { a[++n] = f; f = "" }
              else f = f c
            }
            a[++n] = f
            return n
          }
          /^name,/ { nh = cells($0, head); next }
          nh && !done {
            done = 1
            cells($0, row)
            for (i = 1; i <= nh; i++) col[head[i]] = row[i]
            if (col["error_occurred"] == "true") { print "skip:" col["error_message"]; exit }
            n = split(fields, want, ",")
            for (k = 1; k <= n; k++) {
              if (col[want[k]] == "") { print "skip:no " want[k] " in " row[1]; exit }
              line = line (k > 1 ? " " : "") col[want[k]]
            }
            print line
          }' ;;
    c:*)
      # shellcheck disable=SC2086
      timeout 600 taskset -c "$core" ${how#c:} | tail -n 1 | awk '{print $1}' ;;
    *) echo "unknown side: $how" >&2; return 1 ;;
  esac
}

# The runs: side, measure, how and working folder of each.
run_side=()
run_measure=()
run_how=()
run_dir=()
add_run() {
  run_side+=("$1")
  run_measure+=("$2")
  run_how+=("$3")
  run_dir+=("$4")
}

figure_names() {
  case $1 in
    x:*) echo "usable first" ;;
    b:*:*:*) local f=${1##*:}; echo "${f//,/ }" ;;
    b:*) echo "real_time" ;;
    *) echo "figure" ;;
  esac
}

# Every run once a round, in a shuffled order; a run that gives no figure is
# noted and the others go on.
run_rounds() {
  local r i value
  for ((r = 1; r <= rounds; r++)); do
    for i in $(seq 0 $((${#run_how[@]} - 1)) | shuf); do
      value=$(cd "${run_dir[$i]}" && measure "${run_how[$i]}") || true
      if [ -z "$value" ]; then
        echo "${run_side[$i]} ${run_measure[$i]}: no figure in round $r" >&2
        value="skip:no figure (the process failed)"
      fi
      echo "$value" >> "$out/$i"
    done
    echo "round $r of $rounds done" >&2
  done
}

# Figure K (1-based) of run I: "median min max modes" over its rounds, or
# "skip REASON" when no round gave it. Fresh processes can fall into a fast
# and a slow mode: the sorted values split at their widest gap that leaves at
# least two values on each side (a value alone is an outlier, not a mode)
# when it is over a tenth of the median, and modes is then "fast (count) slow
# (count)".
summary() {
  local i=$1 k=$2
  if ! grep -qv '^skip:' "$out/$i"; then
    echo "skip $(grep -m1 '^skip:' "$out/$i" | cut -d: -f2-)"
    return
  fi
  grep -v '^skip:' "$out/$i" | awk -v k="$k" '{print $k}' | sort -g | awk '
    function median(a, lo, hi,   n) { n = hi - lo + 1; return (n % 2) ? a[lo + (n - 1) / 2] : (a[lo + n / 2 - 1] + a[lo + n / 2]) / 2 }
    { v[NR] = $1 }
    END {
      m = median(v, 1, NR); gap = 0; at = 0
      for (i = 2; i < NR - 1; i++) if (v[i + 1] - v[i] > gap) { gap = v[i + 1] - v[i]; at = i }
      printf "%.3f %.3f %.3f", m, v[1], v[NR]
      if (gap > m / 10) printf " fast %.3f (%d) slow %.3f (%d)", median(v, 1, at), at, median(v, at + 1, NR), NR - at
      printf "\n"
    }'
}

# NUM / DEN of two medians with two decimals, "noisy" when the values of
# either side fell in two modes (MODES_NUM, MODES_DEN as summary gives them):
# the median then tells which mode more rounds fell in, not how fast the code
# is, and the run was too noisy to give a ratio.
ratio() {
  if [ -n "$3$4" ]; then echo noisy; return; fi
  awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'
}

# ---------------------------------------------------------------- sides form

if [[ $1 == *=* ]]; then
  if [ -z "$firstpixels" ]; then
    for f in "$top/build/bench/x_first_pixels" "./bench/x_first_pixels"; do
      [ -x "$f" ] && firstpixels=$(cd "$(dirname "$f")" && pwd)/x_first_pixels && break
    done
  fi
  for side in "$@"; do add_run "${side%%=*}" "" "${side#*=}" "$PWD"; done
  run_rounds
  echo "rounds $rounds, core $core (median [range], modes with their counts)"
  k=0
  for name in $(figure_names "${run_how[0]}"); do
    k=$((k + 1))
    echo "$name:"
    base=""
    for i in $(seq 0 $((${#run_how[@]} - 1))); do
      read -r med lo hi modes <<< "$(summary "$i" "$k")"
      if [ "$med" = skip ]; then printf "%-10s skipped: %s %s %s\n" "${run_side[$i]}" "$lo" "$hi" "$modes"; continue; fi
      printf "%-10s %s [%s-%s]  %s\n" "${run_side[$i]}" "$med" "$lo" "$hi" "${modes:-one mode}"
      if [ -z "$base" ]; then base=$med; bname=${run_side[$i]}; bmodes=$modes; continue; fi
      r=$(ratio "$med" "$base" "$modes" "$bmodes")
      if [ "$r" = noisy ]; then
        echo "           ${run_side[$i]} / $bname: no ratio, the run was too noisy (values in two modes)"
      else
        echo "           ${run_side[$i]} / $bname = $r"
      fi
    done
  done
  exit 0
fi

# -------------------------------------------------------------- two commits

[ $# -eq 2 ] || { echo "usage: compare.sh [-r ROUNDS] [-c CORE] [-w WORKDIR] OLD NEW" >&2; exit 1; }
commit() {
  git -C "$top" rev-parse --verify --quiet "$1^{commit}" || { echo "not a commit: $1" >&2; exit 1; }
}
old=$(commit "$1")
new=$(commit "$2")
jobs=${JOBS:-$(nproc 2> /dev/null || echo 2)}
case $work in "$top"|"$top"/*) echo "the work folder must be outside the checkout: $work" >&2; exit 1 ;; esac
mkdir -p "$work"
work=$(cd "$work" && pwd)

# DIR/src made to hold a commit's tree with NEW's bench/ and data/. Only the
# files whose content differs from what is there are written, so that a build
# kept from an earlier run redoes only what they touch.
prepare_source() {
  local sha=$1 dir=$2 f
  local next=$dir/next
  rm -rf "$next"
  mkdir -p "$next" "$dir/src"
  git -C "$top" archive "$sha" | tar -x -m -C "$next"
  rm -rf "$next/bench" "$next/data"
  git -C "$top" archive "$new" bench data | tar -x -m -C "$next"
  (cd "$dir/src" && find . -type f) | while read -r f; do
    [ -e "$next/$f" ] || rm -f "$dir/src/$f"
  done
  (cd "$next" && find . -type f) | while read -r f; do
    if ! cmp -s "$next/$f" "$dir/src/$f"; then
      mkdir -p "$(dirname "$dir/src/$f")"
      cp "$next/$f" "$dir/src/$f"
    fi
  done
  rm -rf "$next"
  echo "${sha:0:10} with bench/ and data/ of ${new:0:10}" > "$dir/source"
}

# A commit's tree with NEW's bench/ and data/, configured and built in DIR:
# the targets given.
build_side() {
  local sha=$1 dir=$2
  shift 2
  echo "building ${sha:0:10} in $dir" >&2
  prepare_source "$sha" "$dir"
  if [ ! -f "$dir/build/build.ninja" ] &&
     ! cmake -S "$dir/src" -B "$dir/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
       -DVELORIM_TESTS=OFF -DVELORIM_BENCH=ON > "$dir/configure.log" 2>&1; then
    tail -n 20 "$dir/configure.log" >&2
    echo "configuring ${sha:0:10} failed: $dir/configure.log" >&2
    exit 1
  fi
  if ! cmake --build "$dir/build" -j "$jobs" --target "$@" > "$dir/build.log" 2>&1; then
    grep -m 20 -B2 -A6 'error' "$dir/build.log" >&2 || tail -n 30 "$dir/build.log" >&2
    echo "building ${sha:0:10} failed: $dir/build.log" >&2
    exit 1
  fi
}

# One build per side, kept: a later run rewrites the sources that differ and
# rebuilds only what they touch.
olddir=$work/old
newdir=$work/new
command -v Xvfb > /dev/null || { echo "Xvfb is not installed (apt-get install xvfb)" >&2; exit 1; }
pkg-config --exists xcb-damage || { echo "libxcb-damage0-dev is not installed" >&2; exit 1; }
targets=(velorim bench_calculation bench_html_view)
build_side "$old" "$olddir" "${targets[@]}"
build_side "$new" "$newdir" "${targets[@]}" x_first_pixels
firstpixels=$newdir/build/bench/x_first_pixels

source "$here/xvfb.sh"
start_xvfb "$firstpixels" "$out/xvfb.log" $(((core + 1) % $(nproc)))
echo "X server on $DISPLAY" >&2

# The measures: a name, the benchmark (binary:filter:fields) or the start-up,
# and the label of each of its figures.
measures=(finalizar first pass load relayout narrower screen preview startup)
declare -A how label
how[finalizar]="bench_calculation:^BM_FinalizarToScreenUsable/:real_time,cpu_time,first_paint_ms"
label[finalizar]="Finalizar until the screen is usable, wall ms|Finalizar until the screen is usable, CPU ms|Finalizar to the report's first paint, ms"
how[first]="bench_calculation:^BM_FirstCalculationPass/:real_time,cpu_time"
label[first]="Próximo, the first pass of a case after start-up (597 months), wall ms|Próximo, the first pass of a case after start-up (597 months), CPU ms"
how[pass]="bench_calculation:^BM_CalculationPass/:real_time,cpu_time"
label[pass]="Próximo, the calculation pass repeated (597 months), wall ms|Próximo, the calculation pass repeated (597 months), CPU ms"
how[load]="bench_calculation:^BM_ReportLoadAndLayOutAt800/597\$:real_time,report_MB"
label[load]="Report of 597 months loaded and laid out, ms|Heap the shown report holds, MB"
how[relayout]="bench_calculation:^BM_ReportRelayoutAtNewWidth/597\$"
label[relayout]="Relayout between 800 and 1000 pixels, the columns' widths kept (597 months), ms"
how[narrower]="bench_calculation:^BM_ReportRelayoutNarrower/597\$"
label[narrower]="Relayout just above its narrowest width, every cell laid out again (597 months), ms"
how[screen]="bench_calculation:^BM_ReportPaintOneScreen/597\$"
label[screen]="One screen of the report painted, ms"
how[preview]="bench_html_view:^BM_PreviewFirstPage/597\$"
label[preview]="Print preview's first page (597 rows), ms"
label[startup]="Start-up to the usable frame (X server), ms|Start-up to the first frame (X server), ms"

for side in old new; do
  dir=$olddir
  [ "$side" = new ] && dir=$newdir
  rm -rf "$out/data-$side"
  cp -r "$newdir/src/data" "$out/data-$side"
  for m in "${measures[@]}"; do
    if [ "$m" = startup ]; then
      add_run "$side" "$m" "x:$dir/build/velorim" "$out/data-$side"
    else
      add_run "$side" "$m" "b:$dir/build/bench/${how[$m]}" "$out"
    fi
  done
done
run_rounds

printf "\n%s %s (old) against %s %s (new), each with the benchmarks and data of the new\n" \
  "$1" "${old:0:10}" "$2" "${new:0:10}"
printf "rounds %s, core %s, a fresh pinned process per side and measure each round, shuffled\n" "$rounds" "$core"
printf "median [range] per side; \"2 modes\" when the values split into a fast and a slow group,\n"
printf "and then no ratio (\"noisy\": the run was too noisy to tell);\n"
printf "old/new over 1: the new is faster or smaller\n\n"
printf "%7s   %-28s %-28s %s\n" "old/new" "old" "new" "figure"
notes=()
for m in "${measures[@]}"; do
  i_old=-1 i_new=-1
  for i in $(seq 0 $((${#run_how[@]} - 1))); do
    [ "${run_measure[$i]}" = "$m" ] || continue
    [ "${run_side[$i]}" = old ] && i_old=$i || i_new=$i
  done
  IFS='|' read -r -a labels <<< "${label[$m]}"
  for k in $(seq 1 ${#labels[@]}); do
    cells=()
    meds=()
    modes_of=()
    for i in "$i_old" "$i_new"; do
      read -r med lo hi modes <<< "$(summary "$i" "$k")"
      if [ "$med" = skip ]; then
        cells+=("skipped")
        notes+=("${labels[$((k - 1))]}: skipped on the ${run_side[$i]} side: $lo $hi $modes")
        meds+=("")
        modes_of+=("")
      else
        cells+=("$(printf "%.3g [%.3g-%.3g]%s" "$med" "$lo" "$hi" "${modes:+ 2 modes}")")
        meds+=("$med")
        modes_of+=("$modes")
        if [ -n "$modes" ]; then
          notes+=("${labels[$((k - 1))]}: no ratio, the run was too noisy: the ${run_side[$i]} side's values fall in two modes, $modes")
        fi
      fi
    done
    r=-
    if [ -n "${meds[0]}" ] && [ -n "${meds[1]}" ]; then
      r=$(ratio "${meds[0]}" "${meds[1]}" "${modes_of[0]}" "${modes_of[1]}")
    fi
    printf "%7s   %-28s %-28s %s\n" "$r" "${cells[0]}" "${cells[1]}" "${labels[$((k - 1))]}"
  done
done
for n in "${notes[@]}"; do echo "note: $n"; done
echo
echo "builds: $olddir (old), $newdir (new)"
