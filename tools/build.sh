#!/usr/bin/env bash
# Configures and builds the project into build/ (shared by the run and test commands).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/bootstrap.sh"
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
if [ ! -f "$top/build/build.ninja" ]; then
  cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$top/build" -j "$jobs" "$@"
