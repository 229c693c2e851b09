#!/usr/bin/env bash
# The Milky Way tried as a teacher would: Beijing on an August night at
# 22:00, looking south-south-east 40 degrees up, the band from Aquila down
# to Sagittarius across the right of the sky. It is there when the program
# starts; Y switches it off and on again, and so does the panel's 银河
# button; the settings dialog's 其它 page
# switches it off with its 银河 box; --milky-way off starts without it, as
# does a --render frame. The screenshots stay in the output folder.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xserver.bash"
SKYLOOM="$1"
RUNTIME="$2"
WORK="$3"
begin_window_test "milky way window"

ARGS=(--date 2026-08-22 --time 22:00 --zone 8 --lat 39.904 --lon 116.407 --ground --az 10
      --alt 40 --mode1 0)
# Mean light (0..255) of the sky where the band lies: Scutum and Aquila.
BAND=150x150+560+120
band() {
  convert "$1" -crop "$BAND" +repage -colorspace gray -format "%[fx:int(mean*255*10+0.5)]" info:
}
# In tenths of a level: on, some 34 levels; off, the stars and figure
# lines alone, some 5.
is_on() { [ "$(band "$1.png")" -ge 200 ]; }
is_off() { [ "$(band "$1.png")" -le 100 ]; }
expect_on() { [ "$(band "$1")" -ge 200 ] || fail "$2 (band light $(band "$1")/10)"; }
expect_off() { [ "$(band "$1")" -le 100 ] || fail "$2 (band light $(band "$1")/10)"; }
# Takes shot NAME until the band is on (or off); fails with WHAT.
await_on() { await_shot "$1" "$2 (band light $(band "$1.png" 2>/dev/null)/10)" is_on; }
await_off() { await_shot "$1" "$2 (band light $(band "$1.png" 2>/dev/null)/10)" is_off; }

# Headless first: the same frame with the Milky Way on and off.
"$SKYLOOM" "${ARGS[@]}" --render render-on.png > render.log 2>&1 || fail "render on"
"$SKYLOOM" "${ARGS[@]}" --milky-way off --render render-off.png >> render.log 2>&1 ||
  fail "render off"
expect_on render-on.png "no Milky Way in the rendered frame"
expect_off render-off.png "the Milky Way drawn with --milky-way off"

start_x
open_window "no main window" window.log "$SKYLOOM" "${ARGS[@]}"
xdotool mousemove --window "$WID" 300 250
await_drawn start
await_on on "no Milky Way in the window"
key y
await_off off "Y did not switch the Milky Way off"
key y
await_on on-again "Y again did not bring the Milky Way back"
# The panel's 银河 button, below 缩小 left of the button grid.
click 590 570
xdotool mousemove --window "$WID" 300 250
await_off button-off "the 银河 button did not switch the Milky Way off"
click 590 570
xdotool mousemove --window "$WID" 300 250
await_on button-on "the 银河 button did not bring the Milky Way back"

# The settings dialog: C, the page 其它, the box 银河, 确定.
DIALOG=440x292+180+154
key c
await settings "$DIALOG" button-on differ || fail "C did not open the settings"
click 411 189                          # the page 其它
shot settings-other
click 496 351                          # the box 银河
shot settings-unticked
click 501 405                          # 确定
await_off settings-off "the 银河 box of the settings dialog did not switch it off"
kill "$PID"
wait "$PID" 2>/dev/null || true
PID=""

# Started with --milky-way off.
open_window "no main window with --milky-way off" window-off.log "$SKYLOOM" "${ARGS[@]}" --milky-way off
await_drawn started-off
expect_off started-off.png "--milky-way off started with the Milky Way"
key y
await_on started-off-y "Y did not switch the Milky Way on"
echo "milky way window: on at start, off and on with Y and the 银河 button, off through the settings, off with --milky-way off"
