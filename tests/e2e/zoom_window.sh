#!/usr/bin/env bash
# Zooming and dragging the sky in a real X window, with real pointer and
# key events as a person uses them: the wheel over the sky zooms about the
# pointer (the star under it stays under it) and the status line names the
# field; dragging the sky with the left button carries the star along with
# the pointer; a click without a drag still selects a constellation; the
# minus key widens the field again; the panel's 放大 and 缩小 buttons zoom
# as well. The screenshots stay in the work folder (under the build folder).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xserver.bash"
SKYLOOM="$1"
WORK="$3"
begin_window_test "zoom window"

start_x 1024x768
# Beijing, a January night, looking south 40 degrees up at Orion and Taurus,
# without names or lines (the brightest pixels are stars).
open_window "main window" window.log "$SKYLOOM" --window --no-music --date 2026-01-15 --time 22:00 --lat 39.9 --lon 116.4 --zone 8 \
  --az 0 --alt 40 --no-ground --mode1 0 --mode2 0
read -r WX WY < <(xdotool getwindowgeometry "$WID" | awk '/Position/{split($2, p, ","); print p[1], p[2]}')
move() { xdotool mousemove --window "$WID" "$1" "$2"; sleep 0.2; }
# The brightest pixel of a shot within a box of the stage, as "X Y".
brightest() {  # NAME X Y W H
  convert "$1.png" -crop "$4x$5+$2+$3" +repage -colorspace gray brightest.png
  identify -define identify:locate=maximum -define identify:limit=1 brightest.png |
    awk -v x="$2" -v y="$3" '/Gray/ || /Red/ { gsub(/[(),]/, " "); n = split($0, f, " ");
      print x + f[n - 1], y + f[n]; exit }'
}
near() {  # X1 Y1 X2 Y2 SLACK
  [ $(( ($1 - $3) * ($1 - $3) + ($2 - $4) * ($2 - $4) )) -le $(( $5 * $5 )) ]
}
differs() {  # A B GEOMETRY: some pixels differ inside the box
  [ "$(compare -metric AE <(convert "$1.png" -crop "$3" +repage png:-) \
       <(convert "$2.png" -crop "$3" +repage png:-) null: 2>&1 || true)" != "0" ]
}

move 5 5
await_drawn start
# The brightest star in the upper right part of the sky.
read -r SX SY < <(brightest start 480 40 260 200)
[ -n "$SX" ] || fail "no star found in the start picture"
echo "star at $SX,$SY"

# Three notches of the wheel up, the pointer on that star.
move "$SX" "$SY"
for _ in 1 2 3; do xdotool click 4; sleep 0.3; done
move 5 5
await_drawn zoomed_in start
read -r ZX ZY < <(brightest zoomed_in $((SX - 12)) $((SY - 12)) 25 25)
near "$ZX" "$ZY" "$SX" "$SY" 3 || fail "the star left the pointer when zooming ($SX,$SY -> $ZX,$ZY)"
differs start zoomed_in 800x432+0+0 || fail "the wheel did not zoom"
differs start zoomed_in 480x24+6+438 || fail "the status line does not name the new field"

# Dragging the sky: the star follows the pointer 150 pixels left and 60 down.
move "$SX" "$SY"
xdotool mousedown 1
for i in 1 2 3 4 5 6; do move $((SX - 25 * i)) $((SY + 10 * i)); done
xdotool mouseup 1
move 5 5
await_drawn dragged zoomed_in
TX=$((SX - 150)) TY=$((SY + 60))
read -r DX DY < <(brightest dragged $((TX - 12)) $((TY - 12)) 25 25)
near "$DX" "$DY" "$TX" "$TY" 3 || fail "the star did not follow the drag ($TX,$TY -> $DX,$DY)"

# A click without a drag (a pixel or two of jitter) selects the
# constellation under the pointer: its boundary is drawn, the view stays.
move 400 200
xdotool mousedown 1
move 401 201
xdotool mouseup 1
move 5 5
await_drawn clicked dragged
differs dragged clicked 800x432+0+0 || fail "a click on the sky selected nothing"
read -r CX CY < <(brightest clicked $((TX - 12)) $((TY - 12)) 25 25)
near "$CX" "$CY" "$DX" "$DY" 1 || fail "a click turned the view ($DX,$DY -> $CX,$CY)"

# The minus key widens the field about the centre.
key minus
key minus
move 5 5
await_drawn zoomed_out clicked
differs clicked zoomed_out 800x432+0+0 || fail "the minus key did not zoom out"

# The panel's buttons: 放大 (the column left of the arrows, top) narrows the
# field, 缩小 below it widens it again; the status line follows both.
click 590 490
move 5 5
await_drawn button_in zoomed_out
differs zoomed_out button_in 800x432+0+0 || fail "the 放大 button did not zoom in"
differs zoomed_out button_in 480x24+6+438 || fail "the status line missed the 放大 button"
click 590 530
click 590 530
move 5 5
await_drawn button_out button_in
differs button_in button_out 800x432+0+0 || fail "the 缩小 button did not zoom out"
differs button_in button_out 480x24+6+438 || fail "the status line missed the 缩小 button"

kill -TERM "$PID"
wait "$PID" || fail "the program ended with an error: $(cat window.log)"
PID=""
echo "zoom window: ok"
