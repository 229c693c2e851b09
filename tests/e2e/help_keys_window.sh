#!/usr/bin/env bash
# Help and the pointer's aids in a real X window, with real keys, wheel and
# pointer as a new user would: F1 opens the help viewer and Esc closes it; a
# pointer resting on the 星名 button shows its name and key; the wheel over
# the story text scrolls it while over the sky it zooms and leaves the text; a right
# click on Orion opens the menu, its first item highlights the constellation,
# and Esc closes the menu. The screenshots stay in the work folder.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xserver.bash"
SKYLOOM="$1"
WORK="$3"
begin_window_test "help and keys window"
SKY=800x420+0+0
MEMO=420x360+300+120   # the help viewer's text
TIP=200x40+600+470     # above the 星名 button
TEXT=340x110+245+478   # the story text

start_x
# Beijing, a January evening, looking south: Orion high in the sky.
open_window "main window" window.log "$SKYLOOM" --date 2026-01-15 --time 21:00 --lat 39.9 --lon 116.4 --zone 8 --az 0 --alt 30 \
 
xdotool mousemove --window "$WID" 400 300
await_drawn start

# --- F1: the help viewer; Esc closes it. -----------------------------------
key F1
await help "$MEMO" start differ || fail "F1 did not open the help viewer"
key Escape
await help_closed "$MEMO" start same || fail "Esc did not close the help viewer"

# --- A pointer resting on 星名 shows its name and key. ---------------------
xdotool mousemove --window "$WID" 682 530
await tip "$TIP" start differ || fail "no tip over the 星名 button"
xdotool mousemove --window "$WID" 400 300
await tip_gone "$TIP" start same || fail "the tip stayed after the pointer left"

# --- The wheel: the story text scrolls, the sky stays. ---------------------
click 255 130                         # Orion: its story fills the text
await story "$TEXT" start differ || fail "a click on Orion showed no story"
xdotool mousemove --window "$WID" 400 530
await_drawn story_still
for _ in 1 2 3 4; do xdotool click 5; sleep 0.1; done
await story_scrolled "$TEXT" story_still differ || fail "the wheel did not scroll the story text"
xdotool mousemove --window "$WID" 400 250
await_drawn sky_before
for _ in 1 2 3; do xdotool click 5; sleep 0.1; done
await_drawn sky_after sky_before
crop sky_before "$SKY" a
crop sky_after "$SKY" b
same a b && fail "the wheel over the sky did not zoom"
crop sky_before "$TEXT" c
crop sky_after "$TEXT" d
same c d || fail "the wheel over the sky scrolled the story text"
# Three notches back bring the field (and Orion) back where it was.
for _ in 1 2 3; do xdotool click 4; sleep 0.1; done
await_drawn sky_back sky_after

# --- The menu: its first item highlights Orion; Esc closes it. -------------
xdotool mousemove --window "$WID" 255 130
sleep 0.2
xdotool click 3
await menu 200x120+255+130 sky_back differ || fail "a right click on Orion opened no menu"
await_drawn menu
xdotool mousemove --window "$WID" 290 148    # the first item, 猎户座星座
await_drawn menu_item
xdotool click 1
await_drawn highlighted menu_item
crop highlighted "$SKY" a
crop sky_back "$SKY" b
same a b && fail "the menu's first item changed nothing"
xdotool mousemove --window "$WID" 255 130
sleep 0.2
xdotool click 3
await menu_again 200x120+255+130 highlighted differ || fail "the menu did not open again"
await_drawn menu_again
key Escape
await menu_closed 200x120+255+130 highlighted same || fail "Esc did not close the menu"

kill -TERM "$PID"
wait "$PID" || fail "the program ended with an error: $(cat window.log)"
PID=""
grep -q "skyloom:" window.log && fail "messages: $(cat window.log)"
echo "help and keys window: pass"
