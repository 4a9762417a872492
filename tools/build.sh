#!/usr/bin/env bash
# Configures and builds the project (shared by the run and test commands).
#   build.sh [--sanitize] [target...]
# Without --sanitize the build is optimised, in build/ (the run command's);
# with it, AddressSanitizer and UndefinedBehaviorSanitizer are on, in
# build-asan/ (the test command's). Without targets everything is built.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir="$top/build"
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  shift
  dir="$top/build-asan"
  options+=(-DVELORIM_SANITIZE=ON -DVELORIM_BENCH=OFF)
fi
bash "$top/tools/bootstrap.sh"
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S "$top" -B "$dir" -G Ninja "${options[@]}"
fi
targets=()
[ $# -gt 0 ] && targets=(--target "$@")
cmake --build "$dir" -j "$jobs" "${targets[@]}"
