# Sourced by the comparison scripts: an Xvfb of their own.
#
#   start_xvfb CHECKER LOG [CORE]
#
# starts Xvfb on the first free display of XVFB_DISPLAYS ("FIRST-LAST",
# 90-199 by default), pinned to CORE when given, its output in LOG, and waits
# until it answers CHECKER (x_first_pixels, which exits 3 while no server
# answers). Sets xvfb_pid and exports DISPLAY. A display is taken when its
# lock file or socket is there; a server that cannot start on a display that
# looked free (another one took it meanwhile) moves the search on, and the
# server that answers must be the one started (its lock file holds its pid).
# Fails when no server of its own starts. stop_xvfb ends it. The server does
# not reset when its last client leaves: it would refuse the next program
# started while it resets.
start_xvfb() {
  local checker=$1 log=$2 core=${3:-} range=${XVFB_DISPLAYS:-90-199}
  local first=${range%-*} last=${range#*-} n status pin=()
  command -v Xvfb > /dev/null || { echo "Xvfb is not installed (apt-get install xvfb)" >&2; return 1; }
  [ -n "$core" ] && pin=(taskset -c "$core")
  for ((n = first; n <= last; n++)); do
    if [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; then continue; fi
    "${pin[@]}" Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset > "$log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
      kill -0 "$xvfb_pid" 2> /dev/null || break
      if [ "$(tr -d ' \n' 2> /dev/null < "/tmp/.X$n-lock")" = "$xvfb_pid" ]; then
        status=0
        DISPLAY=:$n "$checker" > /dev/null 2>&1 || status=$?
        if [ "$status" -ne 3 ]; then
          export DISPLAY=:$n
          return 0
        fi
      fi
      sleep 0.1
    done
    stop_xvfb
  done
  echo "no X server of its own could be started on displays :$first to :$last (XVFB_DISPLAYS)" >&2
  return 1
}

stop_xvfb() {
  [ -n "${xvfb_pid:-}" ] || return 0
  kill "$xvfb_pid" 2> /dev/null || true
  wait "$xvfb_pid" 2> /dev/null || true
  xvfb_pid=
}
