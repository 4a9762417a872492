#!/usr/bin/env bash
# Starts the program through the run command, as a user would, on Qt's
# offscreen platform, and passes only when it is still running after a few
# seconds (it is then ended). A run command that fails, or a program that
# crashes or ends by itself, fails the check.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
wait_s=${RUN_CHECK_SECONDS:-6}
# The build happens first, so that the seconds count the program's own start.
bash "$top/tools/build.sh" velorim >/dev/null || { echo "run check: the build failed"; exit 1; }
log=$(mktemp)
QT_QPA_PLATFORM=offscreen setsid bash "$top/tools/run.sh" >"$log" 2>&1 &
pid=$!
for _ in $(seq "$wait_s"); do
  sleep 1
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"
    echo "run check: FAILED, the program ended by itself (status $?) within ${wait_s} s:"
    cat "$log"
    rm -f "$log"
    exit 1
  fi
done
# run.sh ends by exec-ing the program itself: the process must be it by now.
exe=$(readlink "/proc/$pid/exe" 2>/dev/null || true)
kill -TERM -- "-$pid" 2>/dev/null
wait "$pid" 2>/dev/null
if [ "$exe" != "$(realpath "$top/build/velorim")" ]; then
  echo "run check: FAILED, the run command was still running '$exe', not the program, after ${wait_s} s:"
  cat "$log"
  rm -f "$log"
  exit 1
fi
rm -f "$log"
echo "run check: ok (the program started from tools/run.sh and stayed up ${wait_s} s)"
