#!/usr/bin/env bash
# Refraction tried as a teacher would: Beijing at sunset on the June
# solstice of 2024, looking toward the setting Sun. With refraction on (the
# default) the Sun's disc still stands on the horizon at 19:45; the T key
# switches refraction off and the Sun is gone, as it is when the program is
# started with --refraction off; T again brings it back. Screenshots stay
# in the work folder.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xserver.bash"
SKYLOOM="$1"
WORK="$3"
begin_window_test "refraction window"

X0=112
Y0=84
shot() { import -window root -crop 800x600+$X0+$Y0 +repage "$1.png"; }
# The setting Sun stands some 58 degrees north of west: azimuth 238 from
# south through east. No names: their white letters would count as the Sun.
ARGS=(--date 2024-06-21 --time 19:45 --zone 8 --lat 39.904 --lon 116.407 --ground --az 238
      --alt 2 --mode1 0)

# Pixels of the Sun's disc (bright, near white) in the band over the horizon.
sun() {
  convert "$1" -crop 760x40+20+195 +repage -colorspace gray -threshold 90% \
    -format "%[fx:int(mean*w*h+0.5)]" info:
}
sun_up() { [ "$(sun "$1.png")" -gt 100 ]; }
sun_down() { [ "$(sun "$1.png")" -lt 60 ]; }

# Headless first: the same frame with refraction on and off.
"$SKYLOOM" "${ARGS[@]}" --render render-on.png > render.log 2>&1 || fail "render on"
"$SKYLOOM" "${ARGS[@]}" --refraction off --render render-off.png >> render.log 2>&1 ||
  fail "render off"
[ "$(sun render-on.png)" -gt 100 ] || fail "no Sun on the horizon with refraction ($(sun render-on.png))"
[ "$(sun render-off.png)" -lt 60 ] || fail "the Sun still up without refraction ($(sun render-off.png))"

start_x
"$SKYLOOM" "${ARGS[@]}" > window.log 2>&1 &
PID=$!
WID=$(find_main_window "$PID")
[ -n "$WID" ] || fail "no window of the program"
xdotool mousemove $((X0 + 700)) $((Y0 + 60))
await_drawn on
[ "$(sun on.png)" -gt 100 ] || fail "no Sun on the horizon in the window ($(sun on.png))"
xdotool key t
await_shot off "T did not switch refraction off" sun_down
xdotool key t
await_shot on-again "T again did not bring refraction back" sun_up
echo "refraction window: the Sun on the horizon, gone with T, back with T again"
