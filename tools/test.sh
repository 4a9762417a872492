#!/usr/bin/env bash
# Sets up, builds and runs every test (offscreen: no display is needed).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/build.sh"
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
cd "$top/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs" "$@"
# The readers of outside input, fuzzed briefly on their seed corpora.
bash "$top/tools/fuzz/run.sh"
