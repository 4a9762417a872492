#!/usr/bin/env bash
# Sets up, builds and runs every test (offscreen: no display is needed).
# The tests run with AddressSanitizer and UndefinedBehaviorSanitizer; the run
# command is then checked on the optimised build, and the readers of outside
# input are fuzzed briefly.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/build.sh" --sanitize
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
# Qt and fontconfig keep memory to the end: leaks are not checked.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:detect_stack_use_after_return=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
(cd "$top/build-asan" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs" "$@")
bash "$top/tools/run_check.sh"
# The benchmarks are built (not run) so that they keep compiling.
bash "$top/tools/build.sh" $(cd "$top/bench" && ls bench_*.cpp | sed 's/\.cpp$//')
bash "$top/tools/fuzz/run.sh"
