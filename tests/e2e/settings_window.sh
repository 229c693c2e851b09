#!/usr/bin/env bash
# The settings dialog's lists and calendar in a real X window, used with real
# pointer, wheel and keys as a new user would: the 国家 list opens on a click,
# scrolls with the wheel and closes on Esc with the dialog still open; the
# 城市 list opens, Down and Enter choose another city (the latitude changes);
# the date button opens the calendar and a day chosen there shows on the
# button; typing 2 月 30 日 shows the date it makes; a refused field's message
# leaves 确定 where it was, so a second click there confirms. A --goto name
# that names nothing opens the program with a message naming close names.
# The screenshots stay in the work folder.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xserver.bash"
SKYLOOM="$1"
WORK="$3"
begin_window_test "settings window"
export TZ=Asia/Tokyo
differ() { ! same "$1" "$2"; }
DIALOG=440x292+180+154   # the settings dialog
BELOW=360x150+236+226    # under the place page's lists
COUNTRY_LIST=140x180+238+226
LAT=70x20+344+258        # the latitude field
DATE=110x20+248+206      # the date button
CALENDAR=230x50+302+290  # where the calendar opens, below the date fields
BUTTONS=150x24+465+394   # 确定 and 取消

start_x
open_window "no main window" window.log "$SKYLOOM" --date 2026-01-15 --time 21:00
xdotool mousemove --window "$WID" 400 100
await_drawn start
key c
await settings "$DIALOG" start differ || fail "C did not open the settings"
click 276 189                        # the page 观测地点
await place "$BELOW" settings differ || fail "the page 观测地点 did not open"

# --- 国家: opens on a click, scrolls with the wheel, closes on Esc. --------
click 300 214
await country_open "$COUNTRY_LIST" place differ || fail "a click on 国家 did not open its list"
await_drawn country_open
xdotool mousemove --window "$WID" 300 400
sleep 0.3
for _ in 1 2 3 4 5; do xdotool click 5; sleep 0.1; done
await country_wheel "$COUNTRY_LIST" country_open differ || fail "the wheel did not scroll the country list"
key Escape
await country_closed "$BELOW" place same || fail "Esc did not close the country list"
crop country_closed "$DIALOG" dialog_now
crop start "$DIALOG" dialog_start
differ dialog_now dialog_start || fail "Esc on the list closed the whole dialog"

# --- 城市: opens, Down and Enter choose the next city. ----------------------
click 470 214
await city_open 130x150+408+226 place differ || fail "a click on 城市 did not open its list"
key Down
key Return
await city_chosen "$LAT" place differ || fail "Down and Enter in the city list did not choose a city"
await city_closed 130x150+408+226 place same || fail "Enter did not close the city list"

# --- The calendar: opens from the date button, a day chosen shows. ---------
click 215 189                        # the page 观测时间
await time_page "$DATE" place differ || fail "the page 观测时间 did not open"
click 300 215
await calendar "$CALENDAR" time_page differ || fail "the date button did not open the calendar"
await_drawn calendar                 # laid out and still before a day is hit
click 442 312                        # the 22nd
await day_chosen "$DATE" time_page differ || fail "the day chosen in the calendar is not on the date button"
await day_chosen "$CALENDAR" time_page same || fail "choosing a day did not close the calendar"

# --- Typed 2 月 30 日: the button shows the date it makes. -------------------
click 298 271                        # 月
key ctrl+a BackSpace
xdotool type 2
click 358 271                        # 日
key ctrl+a BackSpace
xdotool type 30
await typed "$DATE" day_chosen differ || fail "typing 2 月 30 日 left the date button as it was"

# --- A refused month: the message shows, 确定 stays where it was. -----------
MESSAGE=430x20+185+372
crop typed "$BUTTONS" buttons_before
click 298 271
key ctrl+a BackSpace
xdotool type 13
click 501 405                        # 确定
await refused "$MESSAGE" typed differ || fail "month 13 brought no message"
xdotool mousemove --window "$WID" 300 340   # off the buttons, as before
sleep 0.6
shot refused_still
crop refused_still "$BUTTONS" buttons_after
same buttons_before buttons_after || fail "the message moved the buttons"
MONTH=34x20+282+262
for _ in 1 2 3; do                   # typing 3 over the 13, until it shows
  click 298 271
  key ctrl+a BackSpace
  xdotool type 3
  await month_3 "$MONTH" refused_still differ && break
done
await month_3 "$MONTH" refused_still differ || fail "the month field did not take 3"
xdotool mousemove --window "$WID" 501 405
sleep 0.3
xdotool click 1                      # 确定, where it always was
# Confirmed: the status line shows the new date.
await confirmed 480x22+0+440 start differ || fail "确定 at its place did not confirm after the message"

kill -TERM "$PID"
wait "$PID" || fail "the program ended with an error: $(cat window.log)"
PID=""

# --- An unknown --goto name: the window opens with a message. ---------------
open_window "an unknown --goto name kept the window from opening" goto.log "$SKYLOOM" --date 2026-01-15 --time 21:00 --goto Betelguese
await_drawn unknown_name
key Return
await unknown_closed 300x80+250+260 unknown_name differ || fail "Enter did not close the message"
grep -q "did you mean.*参宿四" goto.log || fail "no close names on stderr: $(cat goto.log)"
kill -0 "$PID" || fail "the program ended after the message"
kill -TERM "$PID"
wait "$PID" || true
PID=""
echo "settings window: pass"
