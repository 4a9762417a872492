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
# Shipped files that the working copy lacks are copied. A shipped file the
# user has not changed is brought up to date, so that new months of a table
# arrive: unchanged means equal to a version once shipped (in the checkout's
# history, or recorded here when copied). A file the user edited, and the
# user's own files, are never overwritten.
manifest="$work/.shipped.sha256"
touch "$manifest"
shipped=$(git -C "$top" log --format= --raw --no-abbrev -- data 2>/dev/null | awk '{ print $4 }' | sort -u || true)
(cd "$top/data" && find . -type f -print0) | while IFS= read -r -d '' f; do
  f=${f#./}
  new=$(sha256sum < "$top/data/$f" | cut -d' ' -f1)
  if [ -e "$work/$f" ]; then
    have=$(sha256sum < "$work/$f" | cut -d' ' -f1)
    was=$(awk -v f="$f" '{ n = $0; sub(/^[^ ]+  /, "", n) } n == f { h = $1 } END { print h }' "$manifest")
    if [ "$have" = "$new" ]; then
      [ "$was" = "$new" ] || echo "$new  $f" >> "$manifest"
      continue
    fi
    if [ "$have" != "$was" ]; then
      blob=$(git hash-object "$work/$f" 2>/dev/null || true)
      [ -n "$blob" ] && grep -qx "$blob" <<< "$shipped" || continue
    fi
    echo "velorim: $f atualizado com a versão nova do programa" >&2
  fi
  mkdir -p "$(dirname "$work/$f")"
  cp "$top/data/$f" "$work/$f.velorim-new" && mv -f "$work/$f.velorim-new" "$work/$f"
  echo "$new  $f" >> "$manifest"
done
cd "$work"
exec "$top/build/velorim"
