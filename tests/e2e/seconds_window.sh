#!/usr/bin/env bash
# Time to the second, tried as a teacher would: Dallas during the eclipse of
# 2024-04-08, started with --time 13:40:44. The status line and the settings
# dialog's 秒 field show the seconds; 60 typed in the 秒 field is refused in
# the dialog (its message shows, the clock keeps its time); 5 applies, with a
# time flow of 10 seconds chosen on the 其它 page, and the clock shows the
# new second; ▶ then lets the seconds run. Headless, --render draws a
# different clock for 13:40:44 than for 13:40. Screenshots stay in the work
# folder.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xserver.bash"
SKYLOOM="$1"
WORK="$3"
begin_window_test "seconds window"
differ() { ! same "$1" "$2"; }
CLOCK=90x11+100+446      # the clock in the status line
DIALOG=440x292+180+154   # the settings dialog
MESSAGE=420x16+186+374   # the dialog's error line
ARGS=(--date 2024-04-08 --zone -5 --lat 32.78 --lon -96.80 --az 0 --alt 60)

# Headless: the clock of a time set to the second is not the whole minute's.
"$SKYLOOM" "${ARGS[@]}" --time 13:40:44 --render render-44.png > render.log 2>&1 || fail "render 13:40:44"
"$SKYLOOM" "${ARGS[@]}" --time 13:40 --render render-00.png >> render.log 2>&1 || fail "render 13:40"
convert render-44.png -crop "$CLOCK" +repage clock-44.png
convert render-00.png -crop "$CLOCK" +repage clock-00.png
differ clock-44 clock-00 || fail "--time 13:40:44 draws the clock of 13:40"
if "$SKYLOOM" "${ARGS[@]}" --time 13:40:60 --render bad.png > bad.log 2>&1; then
  fail "--time 13:40:60 was accepted"
fi
grep -q "seconds 0..59" bad.log || fail "--time 13:40:60 is refused without its rule: $(cat bad.log)"

start_x
open_window "no main window" window.log "$SKYLOOM" "${ARGS[@]}" --time 13:40:44
xdotool mousemove --window "$WID" 400 100
await_drawn start
crop start "$CLOCK" clock_start

# The 秒 field refuses 60 in the dialog and applies nothing.
key c
await settings "$DIALOG" start differ || fail "C did not open the settings"
click 470 237                        # the 秒 field
key ctrl+a
xdotool type "60"
sleep 0.3
click 502 405                        # 确定
await refused "$MESSAGE" settings differ || fail "60 seconds was not refused in the dialog"
crop refused "$DIALOG" dialog_refused
crop start "$DIALOG" dialog_start
differ dialog_refused dialog_start || fail "the dialog closed on a refused second"
crop refused "$CLOCK" clock_refused
same clock_refused clock_start || fail "a refused second changed the clock"

# 5 seconds and a time flow of 10 seconds apply together.
click 470 237
key ctrl+a
xdotool type "5"
sleep 0.3
click 411 189                        # the page 其它
await other 300x60+186+200 refused differ || fail "the page 其它 did not open"
click 253 259                        # 步进时间: 秒
click 453 259                        # the step amount
key ctrl+a
xdotool type "10"
sleep 0.3
click 502 405                        # 确定
await applied "$DIALOG" other differ || fail "确定 did not close the dialog"
crop applied "$CLOCK" clock_applied
differ clock_applied clock_start || fail "the clock still shows 13:40:44 after 13:40:05 was applied"

# ▶: the time flows and the clock's seconds change from frame to frame.
click 688 449
await flowing1 "$CLOCK" applied differ || fail "▶ did not set the time flowing"
await flowing2 "$CLOCK" flowing1 differ || fail "the clock stood still while the time flowed"
echo "seconds window: ok"
