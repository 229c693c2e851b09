#!/usr/bin/env bash
# The star tool and the show player in a real X window, tried as a new user
# would with real X input: V opens the star tool, which lists the teacher's
# own show (marked “（我的）”) among the shipped ones and previews it;
# 冬季星空 is chosen and confirmed and its first page appears; A plays, S stops, X and W step; then
# 火星 is chosen on the object page with "自动找到：", confirmed, and the
# view travels to Mars by itself. The screenshots stay in the output folder.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xserver.bash"
SKYLOOM="$1"
RUNTIME="$2"
WORK="$3"
begin_window_test "shows window"
# A show of the teacher's own, in the user's show folder.
mkdir -p "$XDG_DATA_HOME/skyloom/shows"
cp "$RUNTIME/天文节目/月相的变化.shw" "$XDG_DATA_HOME/skyloom/shows/我的节目.shw"

SKY=800x420+0+0           # the sky area above the panel
TEXT=350x130+240+460      # the text region of the panel
DIALOG=560x400+120+100    # the star tool

start_x
open_window "no main window" log.txt "$SKYLOOM" --date 2026-01-15 --time 21:00
xdotool mousemove --window "$WID" 400 200
await_drawn start

# --- V, 冬季星空, 确定: the first page. ---------------------------------------
key v
await tool "$DIALOG" start differ || fail "V did not open the star tool"
click 200 258                       # 我的节目（我的）, seventh in the list
await own_preview 350x280+318+150 tool differ || true
crop own_preview 350x280+318+150 memo_own
crop tool 350x280+318+150 memo_empty
same memo_own memo_empty && fail "choosing the own show showed no description"
click 200 194                       # 冬季星空, third in the list
await preview 350x280+318+150 own_preview differ || true
crop preview 350x280+318+150 memo
crop tool 350x280+318+150 memo_empty
same memo memo_empty && fail "choosing 冬季星空 showed no description"
click 561 475                       # 确定
first_page() {
  crop "$1" "$SKY" sky1 && crop "$1" "$TEXT" text1 && ! same sky0 sky1 && ! same text0 text1
}
crop start "$SKY" sky0
crop start "$TEXT" text0
await_shot page1 "the first page's view or text did not appear" first_page
crop start "$SKY" sky0
crop page1 "$SKY" sky1
same sky0 sky1 && fail "the first page's view did not appear"
crop start "$TEXT" text0
crop page1 "$TEXT" text1
same text0 text1 && fail "the first page's text did not appear"

# --- A plays, S stops, X and W step. -------------------------------------------
key a
sleep 1
key s
await_drawn stopped1
sleep 1
shot stopped2
crop stopped1 "$SKY" s1
crop stopped2 "$SKY" s2
same s1 s2 || fail "S did not stop the show"
key x
await next "$TEXT" stopped2 differ || true
crop next "$TEXT" text_next
crop stopped2 "$TEXT" text_stopped
same text_next text_stopped && fail "X did not turn the page"
key w
await back "$TEXT" next differ || true
crop back "$TEXT" text_back
same text_back text_next && fail "W did not turn the page back"

# --- The object page: 火星 with "自动找到：". --------------------------------
key v
click 240 135                       # the page 观星状态
click 170 323                       # ★火星
click 470 158                       # 自动找到：
shot mars_chosen
click 561 475                       # 确定: the trip sets off
await mars "$SKY" back differ || fail "the view did not travel to Mars"
# The trip ends: the view comes to rest, elsewhere than it started.
await_drawn mars_arrived
crop mars_arrived "$SKY" sky_arrived
crop back "$SKY" sky_back
same sky_arrived sky_back && fail "the view did not travel to Mars"
# The status line tells the trip's target, not the time flow.
crop mars_arrived 480x22+0+440 status_mars
crop mars_chosen 480x22+0+440 status_before
same status_mars status_before && fail "the status line did not change for the trip"

kill -TERM "$PID"
wait "$PID" || fail "the program ended with an error: $(cat log.txt)"
PID=""
if grep -v '^ALSA\|no sound device' log.txt | grep -q "skyloom:"; then fail "messages: $(cat log.txt)"; fi
echo "shows window: pass"
