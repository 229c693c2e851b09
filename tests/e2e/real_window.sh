#!/usr/bin/env bash
# The program in a real X window (a virtual X server): the 800x600 window is
# centred on the desktop, full screen draws the stage at the display's own
# size with no bars, a desktop narrower than 800 pixels gets the resolution
# message (and the program ends with a failure status), and a termination
# request ends the program cleanly.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xserver.bash"
SKYLOOM="$1"
WORK="$3"
begin_window_test "real window"

trap stop_x EXIT
shot() { import -window root "$1.png"; }

geometry() {  # prints "X,Y WxH" of the window of process $PID
  local wid
  wid=$(find_main_window "$PID")
  [ -n "$wid" ] || fail "no window of the program titled 天文节目"
  xdotool getwindowgeometry "$wid" | awk '/Position/{p=$2} /Geometry/{g=$2} END{print p " " g}'
}

# A window, centred on a 1024x768 desktop.
start_x 1024x768
SKYLOOM_MEASURE=1 "$SKYLOOM" --date 2026-01-15 --time 21:00 > window.log 2>&1 &
PID=$!
[ "$(geometry)" = "112,84 800x600" ] || fail "window geometry $(geometry)"
await_drawn window
sleep 1
kill -TERM "$PID"
for _ in $(seq 50); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$PID" 2>/dev/null && fail "the program did not end on a termination request"
wait "$PID" || fail "the program ended with an error: $(cat window.log)"
# A still sky is drawn once: a second of nothing happening presents no more
# frames (a few for the window being mapped and exposed).
frames=$(awk '/frames presented/{print $2}' window.log)
[ -n "$frames" ] && [ "$frames" -le 5 ] || fail "a still sky presented ${frames:-no} frames"
stop_x

# Full screen on a wider display: the stage at the display's size, the
# panel's band from edge to edge at the bottom (no black bars).
start_x 1280x800
"$SKYLOOM" --date 2026-01-15 --time 21:00 --fullscreen > full.log 2>&1 &
PID=$!
[ "$(geometry)" = "0,0 1280x800" ] || fail "full-screen geometry $(geometry)"
await_drawn full
for x in 4 1275; do
  band=$(convert full.png -format "%[fx:int(255*(p{$x,700}.r+p{$x,700}.g+p{$x,700}.b))]" info:)
  [ "$band" -gt 30 ] || fail "the panel's band does not reach x $x"
done
panel=$(convert full.png -format '%[fx:int(255*(p{640,700}.r+p{640,700}.g+p{640,700}.b))]' info:)
[ "$panel" -gt 30 ] || fail "the lower panel is not in the scaled stage"
kill -TERM "$PID"
wait "$PID" || fail "full screen ended with an error"
stop_x

# A desktop too narrow for the program: the message, then the end.
start_x 640x480
"$SKYLOOM" > narrow.log 2>&1 &
PID=$!
for _ in $(seq 300); do
  grep -q "最低分辨率" narrow.log && break
  kill -0 "$PID" 2>/dev/null || break
  sleep 0.1
done
kill -TERM "$PID" 2>/dev/null || true
status=0
wait "$PID" || status=$?
[ "$status" != 0 ] || fail "the program reported success although it could not start"
grep -q "本软件要求的最低分辨率为800\*600，请调整后重新运行！" narrow.log || fail "no resolution message: $(cat narrow.log)"
echo "real window: ok"
