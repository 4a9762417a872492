#!/usr/bin/env bash
# Start-up seen from outside: the program (in a fresh copy of data/) against
# an empty maximised Qt window (trivial_window, linked with Qt Widgets alone)
# and against the same menu bar and toolbar made with Qt alone
# (plain_main_window), all timed at an X server by x_first_pixels to their
# usable frame (the drawing settled: the program's toolbar enabled once its
# tables are loaded) and to their first pixels, through compare.sh (pinned,
# shuffled, one fresh process per side per round).
#
#   [ROUNDS=10] [CORE=2] [XVFB_DISPLAYS=90-199] bench/startup_compare.sh [BUILD_DIR]
#
# Setup (once, as root; not needed by the tests):
#   apt-get install xvfb libxcb-damage0-dev
#   bash tools/build.sh velorim trivial_window plain_main_window x_first_pixels
# Starts an Xvfb of its own on the first free display of XVFB_DISPLAYS, on the
# core after CORE, and fails when it cannot (see xvfb.sh).
set -euo pipefail
rounds=${ROUNDS:-10}
core=${CORE:-2}
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
for f in velorim bench/trivial_window bench/plain_main_window bench/x_first_pixels; do
  [ -x "$build/$f" ] || { echo "missing $build/$f (see the setup above)" >&2; exit 1; }
done
source "$here/xvfb.sh"

work=$(mktemp -d)
xvfb_pid=
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb "$build/bench/x_first_pixels" "$work/xvfb.log" $(((core + 1) % $(nproc)))
echo "X server on $DISPLAY" >&2
cp -r "$here/../data" "$work/data"
cd "$work/data"
X_FIRST_PIXELS="$build/bench/x_first_pixels" bash "$here/compare.sh" -r "$rounds" -c "$core" \
  "qt=x:$build/bench/trivial_window" "plain=x:$build/bench/plain_main_window" "program=x:$build/velorim"
