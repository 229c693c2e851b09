#!/usr/bin/env bash
# The menus and dialogs at the interface scale, full screen on a 1920x1080
# display (scale 1.75), used with real X input: a right click on Orion opens
# its menu drawn at the scale; C opens the settings, a click on the tab
# 辅助线 and on the check box 天球经纬网 (both where they are drawn at the
# scale) and on 确定 draws the grid on the sky; V opens the star tool, a
# click on its tab 观星状态 shows the constellation list and its 取消 closes
# it. The screenshots stay in the work folder (under the build folder).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xserver.bash"
SKYLOOM="$1"
WORK="$3"
begin_window_test "scaled dialogs window"

start_x 1920x1080
open_window "main window" window.log "$SKYLOOM" --date 2026-01-15 --time 21:00 --lat 39.9 --lon 116.4 --zone 8 --az 0 --alt 15 \
  --names --mode2 800 --ground --fullscreen
for _ in $(seq 100); do
  xdotool getwindowgeometry "$WID" | grep -q "Geometry: 1920x1080" && break
  sleep 0.2
done
xdotool getwindowgeometry "$WID" | grep -q "Geometry: 1920x1080" || fail "not full screen"

# The whole screen as the user sees it.
shot() { import -window root "$1.png"; }
rest() { xdotool mousemove 960 60; sleep 0.3; }
# Pixels that differ between shots A and B inside GEOMETRY.
differ() {  # A B GEOMETRY
  { compare -fuzz 3% -metric AE "$1.png[$3]" "$2.png[$3]" null: 2>&1 >/dev/null || true; } |
    awk '{print int($1)}'
}
# Takes shot B until at least LEAST pixels of GEOMETRY differ from shot A
# (or, with LEAST 0, until none do), for up to about 15 s.
await() {  # what A B GEOMETRY LEAST
  local d
  for _ in $(seq 60); do
    shot "$3"
    d=$(differ "$2" "$3" "$4")
    if [ "$5" -gt 0 ]; then [ "$d" -ge "$5" ] && return 0; else [ "$d" -le 20 ] && return 0; fi
    sleep 0.2
  done
  fail "$1 ($d pixels changed)"
}
# The size "W H" of what differs between shots A and B.
changed_size() {  # A B
  { compare -fuzz 3% "$1.png" "$2.png" -compose src -highlight-color white \
    -lowlight-color black diff.png 2>/dev/null || true; }
  convert diff.png -trim -format '%w %h\n' info:
}
click_at() { xdotool mousemove "$1" "$2"; sleep 0.3; xdotool click "${3:-1}"; }

SKY=1920x760+0+0
rest
sleep 1
shot 00-start

# The menu of a right click on a constellation, drawn at the scale: about
# 1.75 times its size at scale 1 (some 120x95 there).
click_at 700 140 3
await "no menu after the right click" 00-start 01-menu 1920x1080+0+0 2000
xdotool key Escape
rest
await "the menu did not close on Escape" 01-menu 02-menu-closed 400x300+700+140 2000
read -r mw mh < <(changed_size 01-menu 02-menu-closed)
[ "$mw" -ge 180 ] && [ "$mh" -ge 150 ] || fail "the menu is ${mw}x$mh: not drawn at the scale"

# The settings dialog: 770x511 at (575, 284) at 1.75.
DIALOG=770x511+575+284
xdotool key c
await "C did not open the settings" 02-menu-closed 03-settings "$DIALOG" 20000
click_at 891 345                    # the tab 辅助线
await "the tab 辅助线 did not open" 03-settings 04-settings-lines 770x300+575+370 500
click_at 680 388                    # 天球经纬网
await "天球经纬网 was not ticked" 04-settings-lines 05-settings-grid 120x40+580+370 20
click_at 1138 721                   # 确定
rest
await "the settings did not close on 确定" 05-settings-grid 06-grid "$DIALOG" 20000
[ "$(differ 02-menu-closed 06-grid 1920x200+0+0)" -ge 2000 ] || fail "no grid on the sky after 确定"

# The star tool: 980x700 at (470, 190).
xdotool key v
await "V did not open the star tool" 06-grid 07-star-tool 980x700+470+190 20000
click_at 673 250                    # the tab 观星状态
await "the tab 观星状态 did not open" 07-star-tool 08-star-tool-objects 900x560+480+260 2000
click_at 1368 845                   # 取消
rest
await "取消 did not close the star tool" 06-grid 09-star-tool-closed 980x700+470+190 0

kill "$PID"
wait "$PID" 2>/dev/null || true
PID=""
echo "scaled dialogs window: menu ${mw}x${mh}; screenshots in $WORK"
