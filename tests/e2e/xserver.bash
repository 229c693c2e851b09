# A virtual X server for the real-window tests, sourced by each of them.
# start_x [WIDTHxHEIGHT] starts one on a free display (1024x768 by default)
# and exports DISPLAY; stop_x ends it.

fail() { echo "FAIL: $*" >&2; exit 1; }

# begin_window_test NAME: the start of every real-window test. Without the X
# tools it says that test NAME is skipped and ends the test successfully;
# otherwise it empties the work folder $WORK, changes into it and sets up a
# windowed run there: SDL's own video driver, no sound, and the per-user
# settings, cache and data folders inside the work folder.
begin_window_test() {
  x_tools_present "$1" || exit 0
  rm -rf "$WORK"
  mkdir -p "$WORK/config" "$WORK/cache" "$WORK/data"
  cd "$WORK"
  unset SDL_VIDEODRIVER
  export SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$WORK/config" XDG_CACHE_HOME="$WORK/cache" \
    XDG_DATA_HOME="$WORK/data"
}

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

# Starts PROGRAM ARGS... with its output in LOG, sets PID to it and WID to
# its main window; fails with WHAT when no main window shows.
open_window() {  # WHAT LOG PROGRAM ARGS...
  local what="$1" log="$2"
  shift 2
  "$@" > "$log" 2>&1 &
  PID=$!
  WID=$(find_main_window "$PID")
  [ -n "$WID" ] || fail "$what"
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

# Helpers of the tests that drive the program's window as a user would. The
# test sets PID (the program) and WID (its main window); on exit the program
# and the X server are ended. Stage coordinates are window coordinates: the
# 800x600 window has no border.
PID=""
WID=""
stop_all() {
  [ -n "$PID" ] && kill "$PID" 2>/dev/null || true
  kill "$XPID" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap stop_all EXIT
click() { xdotool mousemove --window "$WID" "$1" "$2"; sleep 0.2; xdotool click 1; sleep 0.5; }
key() { xdotool key "$@"; sleep 0.6; }
shot() {  # NAME: the window as the user sees it, as NAME.png
  import -window root "full_$1.png"
  local geo
  geo=$(xdotool getwindowgeometry "$WID" | awk '/Position/{split($2,p,","); print p[1] "+" p[2]}')
  convert "full_$1.png" -crop "800x600+${geo%+*}+${geo#*+}" +repage "$1.png"
  rm -f "full_$1.png"
}
crop() { convert "$1.png" -crop "$2" +repage "$3.png"; }   # NAME GEOMETRY OUT
same() { [ "$(compare -metric AE "$1.png" "$2.png" null: 2>&1 || true)" = "0" ]; }
# Takes shot NAME until its REGION differs from (or is the same as) the
# region of the earlier shot REF, for at most about 8 s on a busy machine.
await() {  # NAME REGION REF same|differ
  local i
  for i in $(seq 40); do
    shot "$1"
    crop "$1" "$2" await_now
    crop "$3" "$2" await_ref
    if same await_now await_ref; then [ "$4" = same ] && return 0; else [ "$4" = differ ] && return 0; fi
    sleep 0.2
  done
  return 1
}
