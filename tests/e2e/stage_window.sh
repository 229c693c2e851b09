#!/usr/bin/env bash
# Full screen on a 1920x1080 display, used with real X input: the stage is
# drawn at the display's own size (no bars), the panel sits centred on the
# bottom edge, and every panel button is hit where it is drawn: each click
# does what the button does (the view turns, tilts and zooms, the Milky Way
# comes and goes, the panel slides,
# switches flip with their looks (the star names, drawn smooth at the
# interface scale, come and go), the clock steps and runs, the dialogs
# open and close on Escape, the quit button ends the program); the Sun,
# the trees and the direction boards stand at the interface scale. The
# screenshots stay in the work folder (under the build folder).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xserver.bash"
SKYLOOM="$1"
WORK="$3"
begin_window_test "stage window"

start_x 1920x1080
"$SKYLOOM" --date 2026-01-15 --time 21:00 --lat 39.9 --lon 116.4 --zone 8 --az 0 --alt 15 \
  --names --lines --mode2 800 --ground --fullscreen > window.log 2>&1 &
PID=$!
for _ in $(seq 150); do
  WID=$(find_main_window "$PID")
  [ -n "$WID" ] && xdotool getwindowgeometry "$WID" | grep -q "Geometry: 1920x1080" && break
  WID=""
  sleep 0.2
done
[ -n "$WID" ] || fail "no full-screen window of 1920x1080"

# The interface at 1.75 (the largest step at which its 800x600 frame fits
# 1920x1080): the frame is 1400x1050 at (260, 30); the panel's section at
# frame y 432. sx gives frame units in pixels, fx and fy a frame point,
# px and py a point of the panel's section.
sx() { echo $(( ($1 * 175 + 50) / 100 )); }
fx() { echo $((260 + $(sx "$1"))); }
fy() { echo $((30 + $(sx "$1"))); }
px() { fx "$1"; }
py() { fy $((432 + $1)); }
shot() { sleep "${2:-0.8}"; import -window root -quality 10 "$1.png"; }
# A click at the middle of the region drawn at panel (X, Y), W x H.
press_button() {  # X Y W H
  xdotool mousemove "$(px $(($1 + $3 / 2)))" "$(py $(($2 + $4 / 2)))"
  sleep 0.25
  xdotool click 1
}
rest() { xdotool mousemove 960 300; sleep 0.2; }
# Pixels that differ between two shots inside W x H at (X, Y) of the screen.
differ() {  # A B W H X Y
  { compare -fuzz 3% -metric AE "$1.png[$3x$4+$5+$6]" "$2.png[$3x$4+$5+$6]" null: 2>&1 >/dev/null ||
    true; } | awk '{print int($1)}'
}
# Takes shot B until at least LEAST pixels differ from A, for up to about
# 15 s on a busy machine.
changed() {  # what A B W H X Y least
  local d
  for _ in $(seq 60); do
    shot "$3" 0.1
    d=$(differ "$2" "$3" "$4" "$5" "$6" "$7")
    [ "$d" -ge "$8" ] && return 0
    sleep 0.15
  done
  fail "$1 (only $d pixels changed)"
}
same() {  # what A B W H X Y
  local d
  d=$(differ "$2" "$3" "$4" "$5" "$6" "$7")
  [ "$d" -le 20 ] || fail "$1 ($d pixels changed)"
}
# Takes shot B until it matches A again, for up to about 15 s.
back() {  # what A B W H X Y
  local d
  for _ in $(seq 60); do
    shot "$3" 0.1
    d=$(differ "$2" "$3" "$4" "$5" "$6" "$7")
    [ "$d" -le 20 ] && return 0
    sleep 0.15
  done
  fail "$1 ($d pixels changed)"
}
SKY=(1920 760 0 0)
STATUS=($(sx 470) $(sx 20) $(fx 10) $(fy 440))
PANEL=(1920 $((1080 - $(fy 440))) 0 $(fy 440))
CENTRE=(900 500 510 200)   # where the dialogs open

rest
await_drawn 00-start
# No bars: the panel's band reaches both edges, the sky both sides.
for x in 2 1917; do
  v=$(convert 00-start.png -format "%[fx:int(255*(p{$x,1040}.r+p{$x,1040}.g+p{$x,1040}.b))]" info:)
  [ "$v" -gt 30 ] || fail "the panel's band does not reach x $x"
done

step=0
# Each button: press it, take a shot, check the change where it shows.
try() {  # name X Y W H  area...  least
  local name="$1" x="$2" y="$3" w="$4" h="$5"
  shift 5
  step=$((step + 1))
  local before="b$step" after
  after=$(printf '%02d-%s' "$step" "$name")
  rest
  shot "$before" 0.4
  press_button "$x" "$y" "$w" "$h"
  rest
  changed "$name: nothing changed" "$before" "$after" "$@"
}

try turn-left 614 42 44 32 "${SKY[@]}" 3000
try turn-right 660 42 44 32 "${SKY[@]}" 3000
try raise 706 42 44 32 "${SKY[@]}" 3000
try lower 752 42 44 32 "${SKY[@]}" 3000
try zoom-in 568 42 44 32 "${SKY[@]}" 3000
try zoom-out 568 82 44 32 "${SKY[@]}" 3000
try milky-way 568 122 44 32 "${SKY[@]}" 300
try milky-way-back 568 122 44 32 "${SKY[@]}" 300
try star-names 660 82 44 32 "${SKY[@]}" 300
try star-names-back 660 82 44 32 "${SKY[@]}" 300
# The names just taken away were written at the interface scale, smooth:
# their glyphs stand 12 x 1.75 pixels high (the 1x strike's stand at most
# 12), and their edges hold shades between the sky and the text colour.
convert b9.png 09-star-names.png -crop 1920x760+0+0 +repage -compose difference -composite \
  -colorspace gray -threshold 8% names-mask.png
tallest=$(convert names-mask.png -define connected-components:verbose=true \
  -define connected-components:area-threshold=6 -connected-components 8 null: 2>/dev/null |
  awk '/gray\(255\)|white/ { split($2, g, /[x+]/); if (g[1] <= 60 && g[2] > h) h = g[2] } END { print h + 0 }')
[ "$tallest" -ge 16 ] && [ "$tallest" -le 40 ] || fail "star names' glyphs are $tallest pixels high"
names_lit() {  # share of gray above $1 in the names' pixels of the shot with names
  convert b9.png -crop 1920x760+0+0 +repage -colorspace gray names-mask.png -compose multiply \
    -composite -threshold "$1" -format "%[fx:int(mean*w*h)]" info:
}
edges=$(( $(names_lit 15%) - $(names_lit 85%) ))
cores=$(names_lit 85%)
[ "$edges" -ge $((cores / 3)) ] && [ "$cores" -ge 200 ] ||
  fail "star names are not smooth ($edges shaded, $cores full pixels)"
echo "star names: glyphs $tallest pixels high, $edges shaded and $cores full pixels"
try lines 706 82 44 32 "${SKY[@]}" 300
try lines-back 706 82 44 32 "${SKY[@]}" 300
try horizon 752 82 44 32 1920 300 0 460 3000
try horizon-back 752 82 44 32 1920 300 0 460 3000
try language 614 82 44 32 "${STATUS[@]}" 50
try language-back 614 82 44 32 "${STATUS[@]}" 50
try labels 492 6 28 24 $(sx 28) $(sx 24) $(fx 492) $(fy 438) 20
try labels-back 492 6 28 24 $(sx 28) $(sx 24) $(fx 492) $(fy 438) 20
try step-forward 644 6 28 24 "${STATUS[@]}" 4
try step-back 584 6 28 24 "${STATUS[@]}" 4
try play 674 6 28 24 "${SKY[@]}" 300
try stop 614 6 28 24 "${STATUS[@]}" 4
rest
shot still-a 0.6
shot still-b 1.2
same "the sky still moves after the stop button" still-a still-b "${SKY[@]}"
try play-back 554 6 28 24 "${SKY[@]}" 300
try stop-again 614 6 28 24 "${STATUS[@]}" 4

# Orion's story for the scroll buttons: a click on the sky picks it.
rest
xdotool mousemove 700 140
sleep 0.2
xdotool click 1
sleep 0.5
TEXT=($(sx 300) $(sx 100) $(fx 244) $(fy 476))
try text-down 543 143 16 16 "${TEXT[@]}" 100
try text-up 543 43 16 16 "${TEXT[@]}" 100

# The dialogs open where a person sees them and close on Escape.
for d in "settings 614 122" "star-tool 660 122" "help 706 122" "about 752 122"; do
  # shellcheck disable=SC2086
  set -- $d
  try "$1" "$2" "$3" 44 32 "${CENTRE[@]}" 2000
  xdotool key Escape
  rest
  back "$1 did not close on Escape" "b$step" "$(printf '%02d-%s-closed' "$step" "$1")" "${CENTRE[@]}"
done

# A button inside a dialog is hit where it is drawn at the interface
# scale: the settings dialog (440x292 at 1x, 770x511 at 1.75, centred at
# (575, 284)) closes on its 取消 button.
try settings-again 614 122 44 32 "${CENTRE[@]}" 2000
xdotool mousemove $((575 + 689)) $((284 + 437))
sleep 0.25
xdotool click 1
rest
back "取消 did not close the settings" "b$step" "$(printf '%02d-settings-cancelled' "$step")" "${CENTRE[@]}"
# A single move after the click that closed the dialog can leave 设置
# lit; a second one over the sky takes the look off before the next shot.
xdotool mousemove 900 250
sleep 0.3

# The panel slides down and back up.
try panel-down 708 6 28 24 "${PANEL[@]}" 3000
up_before="b$step"
xdotool mousemove "$(px 722)" "$(fy $((564 + 18)))"
sleep 0.25
xdotool click 1
rest
back "the panel did not come back up" "$up_before" panel-up $(fx 740) "${PANEL[1]}" 0 "${PANEL[3]}"

# The quit button ends the program; LOG is what it said.
quit_by_button() {  # LOG
  press_button 772 7 22 22
  for _ in $(seq 50); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$PID" 2>/dev/null; then fail "the quit button did not end the program"; fi
  wait "$PID" || fail "the program ended with an error: $(cat "$1")"
  PID=""
}
rest
quit_by_button window.log
echo "stage window: every panel button hit where it is drawn"

# The sky's pictures at the interface scale: a December afternoon looking
# south-west, the Sun over the ground with its trees and direction boards.
# At 1x a board's sign is 22 (one character) or 38 (two) by 17 pixels and
# the Sun's disc 25 across; at 1.75 they are drawn 1.75 times as large.
"$SKYLOOM" --date 2026-12-24 --time 15:00 --lat 39.9 --lon 116.4 --zone 8 --az 330 --alt 8 \
  --names --lines --ground --fullscreen > sun.log 2>&1 &
PID=$!
WID=$(find_main_window "$PID")
[ -n "$WID" ] || fail "no main window for the Sun and the boards: $(cat sun.log)"
rest
await_drawn sun-ground
# The white parts of MASK that are A to B pixels wide, as "WxH" lines.
parts() {  # MASK A B
  convert "$1" -define connected-components:verbose=true \
    -define connected-components:area-threshold=50 -connected-components 8 null: 2>/dev/null |
    awk -v a="$2" -v b="$3" '/gray\(255\)|white/ { split($2, g, /[x+]/);
      if (g[1] >= a && g[1] <= b) print g[1] "x" g[2] }'
}
# The boards' light wood in the band over the horizon (row 573).
convert sun-ground.png -crop 1920x180+0+440 +repage -fx "r>0.59 && g>0.43 && b<0.78 ? 1 : 0" \
  boards-mask.png
boards=$(parts boards-mask.png 30 80 | tr '\n' ' ')
[ -n "$boards" ] || fail "no direction board on the ground"
for b in $boards; do
  w=${b%x*} h=${b#*x}
  [ "$h" -ge 26 ] && [ "$h" -le 34 ] || fail "a board's sign is $b pixels, not 1.75 x 17 high"
done
# The Sun's disc, high in the south-west.
convert sun-ground.png -crop 500x400+950+20 +repage -fx "r>0.96 && g>0.76 && b<0.97 ? 1 : 0" \
  sun-mask.png
sun=$(parts sun-mask.png 38 60)
[ -n "$sun" ] || fail "the Sun's disc is not 1.75 x 25 pixels across: $(parts sun-mask.png 1 200)"
echo "sky pictures at 1.75: boards' signs $boards; the Sun's disc $sun"
quit_by_button sun.log
echo "stage window: screenshots in $WORK"
