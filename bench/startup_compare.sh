#!/usr/bin/env bash
# Start-up seen from outside: the program (in a fresh copy of data/) against
# an empty maximised Qt window (trivial_window, linked with Qt Widgets alone)
# and against the same menu bar, tabs and text made with Qt alone
# (plain_main_window), all timed to their first pixels at an X server by
# x_first_pixels, through compare.sh (pinned, shuffled, one fresh process per
# side per round).
#
#   [ROUNDS=10] [CORE=2] bench/startup_compare.sh [BUILD_DIR]
#
# Setup (once, as root; not needed by the tests):
#   apt-get install xvfb libxcb-damage0-dev
#   bash tools/build.sh velorim trivial_window plain_main_window x_first_pixels
# Xvfb runs on display :93 on the core after CORE.
set -euo pipefail
rounds=${ROUNDS:-10}
core=${CORE:-2}
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
for f in velorim bench/trivial_window bench/plain_main_window bench/x_first_pixels; do
  [ -x "$build/$f" ] || { echo "missing $build/$f (see the setup above)" >&2; exit 1; }
done
command -v Xvfb > /dev/null || { echo "Xvfb is not installed (see the setup above)" >&2; exit 1; }

work=$(mktemp -d)
display=:93
taskset -c $((core + 1)) Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; rm -rf "$work"' EXIT
# Up once it answers a client.
for _ in $(seq 50); do
  status=0
  "$build/bench/x_first_pixels" > /dev/null 2>&1 || status=$?
  [ "$status" -ne 3 ] && break
  sleep 0.1
done
cp -r "$here/../data" "$work/data"
cd "$work/data"
export DISPLAY=$display
X_FIRST_PIXELS="$build/bench/x_first_pixels" bash "$here/compare.sh" -r "$rounds" -c "$core" \
  "qt=x:$build/bench/trivial_window" "plain=x:$build/bench/plain_main_window" "program=x:$build/velorim"
