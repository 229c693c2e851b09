#!/usr/bin/env bash
# The dialogs in a real X window, used as a new user would with real X input
# (xdotool): C opens the settings, 上海 is chosen and confirmed and the status
# line changes; "abc" as latitude is refused and changes nothing; with
# 保存当前设置 ticked the place survives quitting and starting again; the
# help viewer opens from its button and shows a chosen topic; B opens the
# about box. The screenshots stay in the work folder.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xserver.bash"
SKYLOOM="$1"
RUNTIME="$2"
WORK="$3"
begin_window_test "dialogs window"
export TZ=Asia/Tokyo   # a first run starts in the city of the system clock's zone: 东京

start_program() {  # LOG
  "$SKYLOOM" --date 2026-01-15 --time 21:00 > "$1" 2>&1 &
  PID=$!
  WID=$(find_main_window "$PID")
  [ -n "$WID" ] || fail "no main window"
  xdotool mousemove --window "$WID" 400 200
  await_drawn "started-${1%.log}"
}
# Pixels in a region of a shot whose colour is the dialogs' error red.
reds() {
  convert "$1.png" -crop "$2" +repage -fx '(r>0.8 && g<0.5 && b<0.45) ? 1 : 0' \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}
STATUS=480x22+0+440      # the status line's text
DIALOG=440x292+180+154   # the settings dialog
ERRORLINE=430x20+185+372 # the settings dialog's message line

start_x

# --- First run: choose 上海 and confirm. ---------------------------------
start_program first.log
shot start
crop start "$STATUS" status_beijing
key c
await settings_open "$DIALOG" start differ || fail "C did not open the settings"
click 276 189                       # the page 观测地点
shot settings_place
crop settings_place 170x44+340+258 place_beijing
# 查找城市: the name typed in Chinese. A typed hanzi reaches the program
# through a key the X server remaps for it, which can be missed while the
# program reads the changed keyboard map: type again until the place changes.
for attempt in 1 2 3 4; do
  click 330 237
  key ctrl+a BackSpace
  xdotool type --delay 250 '上海'
  sleep 0.6
  shot settings_shanghai
  crop settings_shanghai 170x44+340+258 place_now
  same place_beijing place_now || break
done
same place_beijing place_now && fail "typing 上海 did not choose the city"
click 501 405                       # 确定
await confirmed "$STATUS" start differ || fail "the status line did not change after choosing 上海"
crop confirmed "$STATUS" status_shanghai

# --- "abc" as latitude: refused, nothing changes. -------------------------
key c
await settings_again "$DIALOG" confirmed differ || fail "C did not open the settings again"
click 276 189
click 380 267                       # EditLat
key ctrl+a
xdotool type abc
key Return
for _ in $(seq 20); do
  shot latitude_abc
  [ "$(reds latitude_abc "$ERRORLINE")" -gt 20 ] && break
  sleep 0.2
done
[ "$(reds latitude_abc "$ERRORLINE")" -gt 20 ] || fail "no message for latitude abc"
key Escape
await after_abc "$DIALOG" confirmed same || fail "the settings did not close on Escape"
crop after_abc "$STATUS" status_after_abc
same status_shanghai status_after_abc || fail "latitude abc changed the place"

# --- Save, quit, start again: still 上海. -----------------------------------
key c
await save_open "$DIALOG" confirmed differ || fail "C did not open the settings a third time"
click 196 405                       # 保存当前设置
shot save_ticked
click 501 405                       # 确定
await saved "$DIALOG" confirmed same || fail "确定 did not close the settings"
[ -f config/skyloom/settings ] || fail "no settings file was saved"
# The number of 上海 in the city table: its record's name field is the short
# string 04 C9 CF BA A3 (GBK) at offset 256 of a 536-byte record.
city=""
for off in $(LC_ALL=C grep -obUaP '\x04\xC9\xCF\xBA\xA3' "$RUNTIME/CityInfo.dat" | cut -d: -f1); do
  if [ $(((off - 256) % 536)) = 0 ]; then city=$(((off - 256) / 536 + 1)); break; fi
done
[ -n "$city" ] || fail "上海 is not in the city table"
want=$(printf '"City"=dword:%08x' "$city")
grep -q "$want" config/skyloom/settings || fail "saved city is not 上海 ($want): $(cat config/skyloom/settings)"
[ -f config/skyloom/Config.dat ] || fail "Config.dat was not saved with the settings"
click 783 449                       # the quit button
for _ in $(seq 50); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$PID" 2>/dev/null && fail "the quit button did not end the program"
wait "$PID" || fail "the program ended with an error: $(cat first.log)"
PID=""

start_program second.log
await restarted "$STATUS" confirmed same || fail "after a restart the place is not 上海"

# --- Help from its button, a topic chosen. ----------------------------------
MEMO=420x360+300+120
click 728 570                       # 帮助
await help "$MEMO" restarted differ || fail "the help button did not open the help viewer"
sleep 0.3
shot help
click 130 229                       # the topic 键盘
await help_keys "$MEMO" help differ || fail "choosing a topic did not change the text"
key Escape
await help_closed "$MEMO" help_keys differ || fail "Escape did not close the help viewer"

# --- About with B. ----------------------------------------------------------
ABOUT=453x289+174+156
key b
await about "$ABOUT" help_closed differ || fail "B did not open the about box"
sleep 0.3
shot about
key Return
await about_closed "$ABOUT" about differ || fail "Enter did not close the about box"

kill -TERM "$PID"
wait "$PID" || fail "the program ended with an error: $(cat second.log)"
PID=""
grep -q "skyloom:" first.log second.log && fail "messages: $(cat first.log second.log)"
echo "dialogs window: pass"
