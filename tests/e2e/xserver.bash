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

# x_tools_present NAME: true when Xvfb, xdotool and ImageMagick are there;
# otherwise says that test NAME is skipped.
x_tools_present() {
  command -v Xvfb >/dev/null && command -v xdotool >/dev/null && command -v import >/dev/null &&
    return 0
  echo "$1: Xvfb, xdotool or ImageMagick missing; skipped"
  return 1
}

# find_main_window PID: prints the window id of the program's main window. The
# splash window belongs to the same process and may still be open on a busy
# machine, so the main window is waited for (up to 30 s) by its title.
find_main_window() {
  local w
  for _ in $(seq 300); do
    for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
      if [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "天文节目" ]; then
        echo "$w"
        return 0
      fi
    done
    sleep 0.1
  done
  return 0
}
