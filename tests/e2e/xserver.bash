# A virtual X server for the real-window tests, sourced by each of them.
# start_x [WIDTHxHEIGHT] starts one on a free display (1024x768 by default)
# and exports DISPLAY; stop_x ends it. The tests wait on what they expect to
# see (a window, a changed picture) rather than for fixed times.

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
# The server picks a free display itself and names it once it accepts
# connections, so window tests running side by side never share one. It
# is kept from resetting itself when its last client goes: a program
# started again at that moment could connect to a server about to reset
# and keep running with no window, as no desktop's server ever does.
start_x() {
  local geometry="${1:-1024x768}" n=""
  XPID=""
  rm -f x-display
  Xvfb -displayfd 3 -screen 0 "${geometry}x24" -nolisten tcp -noreset 3>x-display >/dev/null 2>&1 &
  XPID=$!
  for _ in $(seq 600); do
    n=$(head -n 1 x-display 2>/dev/null || true)
    [ -n "$n" ] && break
    kill -0 "$XPID" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$n" ] || { XPID=""; fail "no virtual X server"; }
  export DISPLAY=":$n"
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
  [ -n "$WID" ] && return 0
  kill -0 "$PID" 2>/dev/null || fail "$what: the program ended: $(cat "$log")"
  fail "$what: windows of the program: $(xdotool search --pid "$PID" 2>/dev/null | tr '\n' ' ')$(cat "$log")"
}

# find_main_window PID: prints the window id of the program's main window. The
# splash window belongs to the same process and may still be open on a busy
# machine, so the main window is waited for (up to 90 s) by its title.
find_main_window() {
  local w end=$((SECONDS + 90))
  while ((SECONDS < end)); do
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
same() { identical "$1" "$2"; }
# The helpers below use this one, which a test does not redefine.
identical() { [ "$(compare -metric AE "$1.png" "$2.png" null: 2>&1 || true)" = "0" ]; }
# How long a test waits for something it expects to see: room for a busy
# machine and for several window tests running side by side.
AWAIT_SECONDS=${AWAIT_SECONDS:-40}
# Takes shot NAME until its REGION differs from (or is the same as) the
# region of the earlier shot REF, for at most AWAIT_SECONDS.
await() {  # NAME REGION REF same|differ
  local end=$((SECONDS + AWAIT_SECONDS))
  while :; do
    shot "$1"
    crop "$1" "$2" await_now
    crop "$3" "$2" await_ref
    if identical await_now await_ref; then [ "$4" = same ] && return 0; else [ "$4" = differ ] && return 0; fi
    ((SECONDS < end)) || return 1
    sleep 0.2
  done
}
# Pixels of FILE brighter than black, in thousandths of the whole.
lit() { convert "$1" -threshold 1% -format '%[fx:int(1000*mean)]' info:; }
# Takes shot NAME until the window is drawn and holds still: something is
# on it, two shots in a row are the same, the splash has closed and, given
# REF, it differs from the earlier shot REF. The first frames (a window
# still black, a splash) and the frames of a change being drawn are waited
# out this way instead of by a fixed pause.
await_drawn() {  # NAME [REF]
  local end=$((SECONDS + AWAIT_SECONDS))
  shot "$1"
  while :; do
    sleep 0.3
    cp "$1.png" await_last.png
    shot "$1"
    if [ "$(lit "$1.png")" -gt 0 ] && identical "$1" await_last && splash_gone; then
      [ -z "${2:-}" ] && return 0
      identical "$1" "$2" || return 0
    fi
    ((SECONDS < end)) || fail "$1: no change drawn, or still changing, after $AWAIT_SECONDS s"
  done
}
# True once the program $PID shows no window but its main one: the splash
# closes with the first frame.
splash_gone() {
  [ -z "$PID" ] || [ "$(xdotool search --onlyvisible --pid "$PID" 2>/dev/null | wc -l)" -le 1 ]
}
# Takes shot NAME until PREDICATE NAME holds (a command the test defines),
# for at most AWAIT_SECONDS; fails with WHAT otherwise.
await_shot() {  # NAME WHAT PREDICATE [ARGS...]
  local name="$1" what="$2" end=$((SECONDS + AWAIT_SECONDS))
  shift 2
  while :; do
    shot "$name"
    "$@" "$name" && return 0
    ((SECONDS < end)) || fail "$what"
    sleep 0.2
  done
}
