# A virtual X server for the real-window tests, sourced by each of them.
# start_x [WIDTHxHEIGHT] starts one on a free display (1024x768 by default)
# and exports DISPLAY; stop_x ends it. Needs `fail` from the caller.

XPID=""
start_x() {
  local geometry="${1:-1024x768}" n
  XPID=""
  for n in $(seq 91 199); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${geometry}x24" -nolisten tcp >/dev/null 2>&1 &
    XPID=$!
    export DISPLAY=":$n"
    # A server of the same number elsewhere (another folder of lock files)
    # makes ours exit: only a living server of our own counts.
    for _ in $(seq 50); do
      kill -0 "$XPID" 2>/dev/null || break
      if xdpyinfo >/dev/null 2>&1; then
        sleep 0.2
        kill -0 "$XPID" 2>/dev/null && return 0
        break
      fi
      sleep 0.1
    done
    kill "$XPID" 2>/dev/null || true
    XPID=""
  done
  fail "no virtual X server"
}
stop_x() {
  [ -n "$XPID" ] || return 0
  kill "$XPID" 2>/dev/null || true
  wait "$XPID" 2>/dev/null || true
  XPID=""
}
