#!/usr/bin/env bash
# The commands tried as a teacher would, in a real X window with real X
# input: a click on Orion shows its Chinese story, the E key switches to the
# English one, the A key plays time forward and the S key stops it, and
# --goto 火星 ends with Mars in the middle of the sky area. Screenshots stay
# in the work folder.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xserver.bash"
SKYLOOM="$1"
WORK="$3"
begin_window_test "commands window"

# The window is centred on the 1024x768 desktop: its stage starts at (112, 84).
X0=112
Y0=84
shot() { import -window root -crop 800x600+$X0+$Y0 +repage "$1.png"; }
point() { xdotool mousemove $((X0 + $1)) $((Y0 + $2)); }
differ() {  # pixels that differ inside WxH+X+Y
  convert "$1" -crop "$3" +repage crop-a.png
  convert "$2" -crop "$3" +repage crop-b.png
  compare -fuzz 6% -metric AE crop-a.png crop-b.png null: 2>&1 >/dev/null | awk '{print int($1)}'
}
# Shot NAME differs from shot REF in more than LEAST pixels of REGION.
changed() { [ "$(differ "$1.png" "$4.png" "$2")" -gt "$3" ]; }   # REF REGION LEAST NAME
playing() { changed english "$SKY" 500 "$1" && changed english "$STATUS" 4 "$1"; }
at_mars() { [ "$(differ goto-mars-script.png "$1.png" 500x300+150+66)" = 0 ]; }
STORY=340x112+244+476
SKY=800x430+0+0
STATUS=60x20+100+440   # the clock of the status line

start_x
"$SKYLOOM" --date 2026-01-15 --time 21:00 --zone 8 --lat 39.9 --lon 116.4 --names --lines \
  --mode1 D --mode2 800 --ground --az 10 --alt 45 > window.log 2>&1 &
PID=$!
WID=$(find_main_window "$PID")
[ -n "$WID" ] || fail "no window of the program"
point 700 100
await_drawn before
# Orion's belt is in the middle of the constellation at this view.
point 310 230
sleep 0.3
xdotool click 1
point 700 100
await_shot chinese "no story after the click on Orion" changed before "$STORY" 500
await_drawn chinese
xdotool key e
await_shot english "the E key left the story as it was" changed chinese "$STORY" 500
await_drawn english
xdotool key a
await_shot playing "the sky did not turn, or the clock did not move, while playing" playing
xdotool key s
await_drawn stopped
sleep 1
shot still
[ "$(differ stopped.png still.png $SKY)" = 0 ] || fail "the sky kept turning after S"
kill -TERM "$PID"
wait "$PID" || fail "the program ended with an error: $(cat window.log)"
PID=""

# Travelling to Mars from a desktop shortcut's command line: the window ends
# on the same sky as the headless trip (whose ending with Mars in the middle
# the unit tests check).
MARS=(--date 2025-01-16 --time 21:00 --zone 8 --lat 39.9 --lon 116.4 --names --mode1 8 --ground
      --az 0 --alt 20 --goto 火星)
printf 'wait 150\nshot goto-mars-script.png\nquit\n' > mars.txt
SDL_VIDEODRIVER=dummy "$SKYLOOM" --script mars.txt "${MARS[@]}" > script.log 2>&1 \
  || fail "the headless trip failed: $(cat script.log)"
"$SKYLOOM" "${MARS[@]}" > goto.log 2>&1 &
PID=$!
WID=$(find_main_window "$PID")
[ -n "$WID" ] || fail "no window of the program"
point 790 5
await_shot goto-mars "the window's trip to Mars ended elsewhere than the headless one" at_mars
kill -TERM "$PID"
wait "$PID" || fail "the program ended with an error: $(cat goto.log)"
PID=""
echo "commands window: ok"
