#!/usr/bin/env bash
# Sets up, builds and starts the program. It runs in a working copy of data/
# (build/work), so the repository stays clean and the user's files survive rebuilds.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# A display, or a Qt platform that needs none (the test command starts the
# program on the offscreen platform).
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "velorim: no display found (DISPLAY and WAYLAND_DISPLAY are not set)." >&2
  echo "Velorim is a desktop program and needs a graphical session to show its window." >&2
  echo "The tests need no display: bash tools/test.sh" >&2
  exit 1
fi
bash "$top/tools/build.sh" velorim
work="$top/build/work"
mkdir -p "$work"
# Shipped files that the working copy lacks are copied; the user's own files
# (saved cases, edited tables, settings) are never overwritten.
cp -rn "$top/data/." "$work/"
cd "$work"
exec "$top/build/velorim"
