#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each one briefly on its seed
# corpus (FUZZ_SECONDS each, default 10). Any crash fails the run.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
build="$top/build-fuzz"
seconds=${FUZZ_SECONDS:-10}
if [ ! -f "$build/build.ninja" ]; then
  CXX=clang++ cmake -S "$here" -B "$build" -G Ninja >/dev/null
fi
cmake --build "$build" -j "${JOBS:-$(nproc)}" >/dev/null
status=0
for exe in "$build"/fuzz_*; do
  [ -x "$exe" ] || continue
  name=$(basename "$exe")
  corpus="$here/corpus/${name#fuzz_}"
  work=$(mktemp -d)
  [ -d "$corpus" ] && cp -r "$corpus/." "$work/"
  # The program's own pages and the pages of other packages kept among the
  # tests seed the HTML readers too.
  case "$name" in
    fuzz_html_*)
      cp "$top"/data/*.htm "$work/"
      for page in "$top"/tests/html/pages/*/*.html; do cp "$page" "$work/$(basename "$(dirname "$page")")-$(basename "$page")"; done
      ;;
  esac
  # Whole documents are parsed, laid out and painted: short inputs (still
  # deep enough to pass the nesting limit) and the plain scheduler keep the
  # target at hundreds of inputs a second.
  extra=()
  case "$name" in fuzz_html_document) extra=(-max_len=4096 -entropic=0) ;; esac
  # Extreme numbers and the constructs that broke the viewer before.
  case "$name" in fuzz_html_*|fuzz_stylesheet) extra+=(-dict="$here/html.dict") ;; esac
  if "$exe" -max_total_time="$seconds" -rss_limit_mb=1024 -timeout=5 -print_final_stats=0 "${extra[@]}" \
       -artifact_prefix="$build/$name-" "$work" >"$build/$name.log" 2>&1; then
    echo "fuzz $name: ok"
  else
    echo "fuzz $name: FAILED (see $build/$name.log)"
    tail -40 "$build/$name.log"
    status=1
  fi
  rm -rf "$work"
done
exit $status
