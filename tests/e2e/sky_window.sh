#!/usr/bin/env bash
# The sky as a person sees it in a real X window (a virtual X server): a
# western sky at dusk is graded from the glow above the horizon to a darker
# sky overhead, a night sky is black, and English mode writes the direction
# boards in English. The screenshots stay in the work folder for people to
# look at.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xserver.bash"
SKYLOOM="$1"
WORK="$3"
begin_window_test "sky window"

trap stop_x EXIT

shot() { import -window root "$1.png"; }
# Runs the program with the given settings and keeps a screenshot NAME.png
# once its window is drawn.
run_shot() {  # NAME args...
  local name="$1"
  shift
  "$SKYLOOM" --window --no-music "$@" > "$name.log" 2>&1 &
  PID=$!
  [ -n "$(find_main_window "$PID")" ] || fail "$name: no window"
  await_drawn "$name"
  kill -TERM "$PID"
  wait "$PID" || fail "$name: the program ended with an error: $(cat "$name.log")"
}
luma() {  # FILE X Y: brightness 0..765 of one pixel
  convert "$1" -format "%[fx:int(255*(p{$2,$3}.r+p{$2,$3}.g+p{$2,$3}.b))]" info:
}

start_x 800x600
place=(--date 2026-03-20 --zone 8 --lat 39.9 --lon 116.4 --az 270 --alt 15 --ground)
run_shot dusk "${place[@]}" --time 18:55
# The night sky's own colour is judged without the Milky Way's light over it.
run_shot night "${place[@]}" --time 22:30 --milky-way off
run_shot dusk_english "${place[@]}" --time 18:55 --english
stop_x

low=$(luma dusk.png 400 300)
high=$(luma dusk.png 400 5)
[ "$low" -gt 90 ] || fail "dusk: no glow above the western horizon ($low)"
[ "$high" -lt "$low" ] || fail "dusk: the sky overhead is not darker than the horizon ($high >= $low)"
[ "$(luma night.png 400 5)" -lt 15 ] || fail "night: the sky is not black"
# The western board's caption differs between the two languages.
[ "$(convert dusk.png dusk_english.png -compose difference -composite -crop 800x80+0+270 -format '%[fx:int(1000*mean)]' info:)" -gt 0 ] ||
  fail "English mode: the boards did not change"
echo "sky window: ok"
