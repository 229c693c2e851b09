#!/usr/bin/env bash
# The lower panel in a real X window, used with real pointer and key events
# as a new user would: a button lights up under the pointer, the horizon
# button switches the ground and its look, the R and F keys work, dragging
# the altitude dial tilts the view, a right click on Orion opens the menu
# titled 猎户座星座, choosing 本星座边框 switches the boundary while its check
# mark follows, and holding the left turn button turns the view. The
# screenshots stay in the work folder (under the build folder).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xserver.bash"
SKYLOOM="$1"
WORK="$3"
begin_window_test "panel window"

start_x 1024x768

# Beijing, a January evening, looking south 12 degrees up: the ground fills
# the bottom of the sky area, Orion stands high above it.
"$SKYLOOM" --date 2026-01-15 --time 21:00 --lat 39.9 --lon 116.4 --zone 8 --az 0 --alt 12 --mode2 800 \
  > window.log 2>&1 &
PID=$!
# The splash closes with the first frame; then the main window is the one.
main_window() {  # GEOMETRY
  WID=""
  for _ in $(seq 120); do
    for w in $(xdotool search --onlyvisible --pid "$PID" 2>/dev/null); do
      xdotool getwindowgeometry "$w" 2>/dev/null | grep -q "Geometry: $1" && WID=$w
    done
    [ -n "$WID" ] && return 0
    sleep 0.25
  done
  for w in $(xdotool search --pid "$PID" 2>/dev/null); do xdotool getwindowgeometry "$w"; done
  kill -0 "$PID" 2>/dev/null || echo "the program has ended"
  fail "no window of the program"
}
main_window 800x600
# The window's place on the screen: screenshots are of the whole screen.
read -r WX WY < <(xdotool getwindowgeometry "$WID" | awk '/Position/{split($2, p, ","); print p[1], p[2]}')

shot() { import -window root "$1.png"; }
move() { xdotool mousemove --window "$WID" "$1" "$2"; sleep 0.15; }
# Pixels that differ between two shots inside a rectangle of the stage.
differ() {  # A B W H X Y
  local g="$3x$4+$((WX + $5))+$((WY + $6))"
  convert "$1.png" -crop "$g" +repage a.png
  convert "$2.png" -crop "$g" +repage b.png
  compare -metric AE a.png b.png null: 2>&1 || true
}
expect_change() {  # what A B W H X Y [at least]
  local d
  d=$(differ "$2" "$3" "$4" "$5" "$6" "$7")
  [ "${d%%.*}" -ge "${8:-20}" ] || fail "$1 (only $d pixels changed)"
}
# Takes shot B until the rectangle differs from A in at least LEAST pixels.
await_change() {  # what A B W H X Y [least]
  local end=$((SECONDS + AWAIT_SECONDS)) d
  while :; do
    shot "$3"
    d=$(differ "$2" "$3" "$4" "$5" "$6" "$7")
    [ "${d%%.*}" -ge "${8:-20}" ] && return 0
    ((SECONDS < end)) || fail "$1 (only $d pixels changed)"
    sleep 0.2
  done
}
expect_same() {  # what A B W H X Y
  local d
  d=$(differ "$2" "$3" "$4" "$5" "$6" "$7")
  [ "${d%%.*}" -le 5 ] || fail "$1 ($d pixels changed)"
}

# Horizon button (region 9) at (752, 514) on the panel at y 432.
HX=774 HY=530
move 400 380
await_drawn 01-start
move "$HX" "$HY"
await_change "the horizon button does not light up under the pointer" 01-start 02-hover 44 32 752 514
expect_same "the sky changed on a mere hover" 01-start 02-hover 800 100 0 330

xdotool click 1
await_change "the ground did not go" 02-hover 03-ground-off 800 90 0 340 2000
expect_change "the horizon button kept its on look" 02-hover 03-ground-off 44 32 752 514

# R brings the ground back (and the button's look with it); F the lines.
move 400 200
xdotool key r
await_change "R did not bring the ground back" 03-ground-off 04-key-r 800 90 0 340 2000
expect_change "R did not change the horizon button" 03-ground-off 04-key-r 44 32 752 514
xdotool key f
await_change "F drew no auxiliary lines" 04-key-r 05-key-f 800 330 0 0 200
xdotool key f
sleep 0.3

# Drag the altitude dial: press left of its pivot (190, 523), move up.
move 150 523
xdotool mousedown 1
sleep 0.2
for p in "149 515" "148 505" "147 497" "146 489"; do
  # shellcheck disable=SC2086
  move $p
done
sleep 0.3
xdotool mouseup 1
await_change "the sky did not tilt" 05-key-f 06-tilted 800 300 0 0 2000
expect_change "the sighting tube did not turn" 05-key-f 06-tilted 100 100 134 484

# Right click on Orion: the menu opens with its name.
move 255 130
xdotool click 3
await_change "no menu at the pointer" 06-tilted 07-menu 120 80 258 135 500
# Choose 本星座边框 (the fourth item): the boundary goes, the menu closes.
move 285 193
xdotool click 1
await_change "the boundary did not go" 07-menu 08-boundary-off 100 120 150 60 30
# Reopen: the check mark is gone; choosing again brings the boundary back.
move 255 130
xdotool click 3
await_change "no menu at the pointer again" 08-boundary-off 09-menu-again 120 80 258 135 500
expect_change "the check mark did not follow the boundary" 07-menu 09-menu-again 24 14 365 186 5
move 285 193
xdotool click 1
await_change "the boundary did not come back" 08-boundary-off 10-boundary-on 100 120 150 60 30

# Hold the left turn button (region 1 at (614, 474)) for a moment.
move 636 490
xdotool mousedown 1
sleep 0.6
xdotool mouseup 1
move 400 300
await_change "holding the turn button did not turn the view" 10-boundary-on 11-turned 800 300 0 0 2000
expect_change "the azimuth dial did not turn" 10-boundary-on 11-turned 116 116 12 474 200

kill -TERM "$PID"
wait "$PID" || fail "the program ended with an error: $(cat window.log)"
PID=""
kill "$XPID" 2>/dev/null || true
wait "$XPID" 2>/dev/null || true

# Full screen on a wider display: the stage takes the display's own size,
# 1280x800. The interface is drawn at 1.25 (the largest step at which its
# 800x600 frame fits), centred on the bottom edge (the frame 1000x750 at
# (140, 50)); the sky fills everything above the panel (590 rows) with the
# same field across the width, 1.6 times the pixels of the 800-wide sky
# about its centre (640, 295). The pointer lands where the user points, on
# the panel and in the menu.
start_x 1280x800
"$SKYLOOM" --date 2026-01-15 --time 21:00 --lat 39.9 --lon 116.4 --zone 8 --az 0 --alt 40.37 \
  --fullscreen > full.log 2>&1 &
PID=$!
main_window 1280x800
WX=0 WY=0
fmove() { xdotool mousemove "$1" "$2"; sleep 0.15; }
# A place of the 800-wide sky on the wide one, and of the panel's frame.
sky() { echo "$((640 + ($1 - 400) * 8 / 5)) $((295 + ($2 - 216) * 8 / 5))"; }
pan() { echo "$((140 + $1 * 5 / 4)) $((50 + $2 * 5 / 4))"; }
# shellcheck disable=SC2046
{
fmove 640 400
await_drawn 12-full
fmove $(pan 774 530)
await_change "full screen: the horizon button does not light up under the pointer" 12-full 13-full-hover \
  55 40 $(pan 752 514) 20
fmove $(sky 255 130)
xdotool click 3
read -r MX MY < <(sky 255 130)
await_change "full screen: no menu at the pointer" 13-full-hover 14-full-menu 120 80 $((MX + 3)) $((MY + 5)) 500
fmove $((MX + 30)) $((MY + 63))
xdotool click 1
await_change "full screen: the menu item under the pointer was not chosen" 14-full-menu \
  15-full-boundary-off 160 192 $(sky 150 60) 30
}
kill -TERM "$PID"
wait "$PID" || fail "full screen ended with an error: $(cat full.log)"
PID=""
echo "panel window: all steps passed; screenshots in $WORK"
