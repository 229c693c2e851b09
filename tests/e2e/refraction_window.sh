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
window() {
  local wid=""
  for _ in $(seq 50); do
    wid=$(xdotool search --onlyvisible --pid "$PID" 2>/dev/null | head -1) || true
    [ -n "$wid" ] && break
    sleep 0.2
  done
  [ -n "$wid" ] || fail "no window of the program"
  echo "$wid"
}
shot() { sleep "${2:-1}"; import -window root -crop 800x600+$X0+$Y0 +repage "$1"; }
differ() {  # pixels that differ inside WxH+X+Y
  convert "$1" -crop "$3" +repage crop-a.png
  convert "$2" -crop "$3" +repage crop-b.png
  compare -fuzz 6% -metric AE crop-a.png crop-b.png null: 2>&1 >/dev/null | awk '{print int($1)}'
}
SKY=800x430+0+0
# The setting Sun stands some 58 degrees north of west: azimuth 238 from
# south through east. No names: their white letters would count as the Sun.
ARGS=(--date 2024-06-21 --time 19:45 --zone 8 --lat 39.904 --lon 116.407 --ground --az 238
      --alt 2 --mode1 0)

# Pixels of the Sun's disc (bright, near white) in the band over the horizon.
sun() {
  convert "$1" -crop 760x40+20+195 +repage -colorspace gray -threshold 90% \
    -format "%[fx:int(mean*w*h+0.5)]" info:
}

# Headless first: the same frame with refraction on and off.
"$SKYLOOM" "${ARGS[@]}" --render render-on.png > render.log 2>&1 || fail "render on"
"$SKYLOOM" "${ARGS[@]}" --refraction off --render render-off.png >> render.log 2>&1 ||
  fail "render off"
[ "$(sun render-on.png)" -gt 100 ] || fail "no Sun on the horizon with refraction ($(sun render-on.png))"
[ "$(sun render-off.png)" -lt 60 ] || fail "the Sun still up without refraction ($(sun render-off.png))"

start_x
"$SKYLOOM" "${ARGS[@]}" > window.log 2>&1 &
PID=$!
window > /dev/null
xdotool mousemove $((X0 + 700)) $((Y0 + 60))
shot on.png 1.5
[ "$(sun on.png)" -gt 100 ] || fail "no Sun on the horizon in the window ($(sun on.png))"
xdotool key t
shot off.png
[ "$(sun off.png)" -lt 60 ] || fail "T did not switch refraction off ($(sun off.png))"
xdotool key t
shot on-again.png
[ "$(sun on-again.png)" -gt 100 ] || fail "T again did not bring refraction back"
echo "refraction window: the Sun on the horizon, gone with T, back with T again"
