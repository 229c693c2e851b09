#!/usr/bin/env bash
# Recording a show from the star tool in a real X window, as a teacher
# would: V opens the star tool, a show is chosen, "录制视频…" opens the
# recording dialog in the videos folder, "开始录制" starts it and the
# progress bar shows while the window stays live; "取消" stops a long one and
# leaves no file; a short one runs to its end and the finished file plays
# (it is decoded here). The program runs from a copy of its folder whose
# show folder holds a short show (节目1) and a long one (节目2). The
# screenshots and the video stay in the output folder.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xserver.bash"
SKYLOOM="$1"
RUNTIME="$2"
WORK="$3"
begin_window_test "record window"
command -v ffprobe > /dev/null || { echo "record window: ffprobe missing; skipped"; exit 0; }
mkdir -p "$WORK/home/Videos"
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config"

# The program's folder with one short show of two pages.
mkdir -p app/天文节目
for f in "$RUNTIME"/*; do
  [ "$(basename "$f")" = 天文节目 ] || ln -s "$f" "app/$(basename "$f")"
done
rm app/skyloom
cp "$SKYLOOM" app/skyloom
cat > short.toml << 'EOF'
title = "短节目"
description = ["两页的短节目。"]

[[page]]
caption = "面向正北"
text = ["北京时间3月1日晚上7点，我们面向正北方。"]
date = "2026-03-01"
time = "19:00"
city = "北京"
zone = 8
azimuth = 180
altitude = 40
show = ["constellation-names", "star-names", "ground"]
star_limit = 5.0
wait = 8
step = "1 minute"
highlight = ["北斗"]

[[page]]
caption = "指极星"
text = ["北斗勺口的两颗星天璇和天枢叫“指极星”。"]
wait = 8
EOF
"$RUNTIME/skyloom-show" build short.toml -o app/天文节目/节目1.shw
sed 's/wait = 8/wait = 90/' short.toml > long.toml
"$RUNTIME/skyloom-show" build long.toml -o app/天文节目/节目2.shw

DIALOG=560x400+120+100    # the star tool and the recording dialog's place

start_x
open_window "no main window" log.txt app/skyloom --date 2026-01-15 --time 21:00
xdotool mousemove --window "$WID" 400 200
await_drawn start

# The long show: started, then cancelled while it records.
key v
click 200 178                       # 节目2
click 210 423                       # 录制视频…
click 530 455                       # 开始录制
for _ in $(seq 300); do
  compgen -G 'home/Videos/*.tmp-*' > /dev/null && break
  sleep 0.1
done
compgen -G 'home/Videos/*.tmp-*' > /dev/null || fail "the long recording did not start: $(cat log.txt)"
shot cancelling
click 612 455                       # 取消
await cancelled "$DIALOG" cancelling differ || fail "取消 did not close the dialog"
await_drawn cancelled
[ -z "$(ls -A home/Videos)" ] || fail "a cancelled recording left $(ls -A home/Videos)"

# The short show, recorded to its end.
key v
click 200 162                       # 节目1
click 210 423                       # 录制视频…
shot chooser
grep -q . log.txt && fail "messages: $(cat log.txt)"
click 530 455                       # 开始录制
# The progress shows while the recording runs (its temporary file is there).
for _ in $(seq 300); do
  compgen -G 'home/Videos/*.tmp-*' > /dev/null && break
  sleep 0.1
done
compgen -G 'home/Videos/*.tmp-*' > /dev/null || fail "the recording did not start: $(cat log.txt)"
await progress "$DIALOG" chooser differ || fail "开始录制 changed nothing"
video="home/Videos/节目1.mp4"
for _ in $(seq 600); do
  [ -f "$video" ] && break
  sleep 0.1
done
[ -f "$video" ] || fail "no video in the videos folder: $(ls -A home/Videos) $(cat log.txt)"
await_drawn done
crop done "$DIALOG" d_done
crop progress "$DIALOG" d_progress
same d_progress d_done && fail "the dialog did not say the recording is done"
click 612 455                       # 确定
await closed "$DIALOG" done differ || fail "确定 did not close the dialog"
kill -0 "$PID" || fail "the program ended"
# The file plays: every frame decodes, and both streams are there.
ffmpeg -v error -xerror -i "$video" -f null - 2> decode.txt || fail "the video does not decode: $(cat decode.txt)"
[ ! -s decode.txt ] || fail "decoding said: $(cat decode.txt)"
n=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "$video")
[ "$n" -gt 60 ] || fail "only $n frames"
[ "$(ffprobe -v error -show_entries stream=codec_name -of csv=p=0 "$video" | sed -n 1,2p | tr '\n' ' ')" = "h264 aac " ] \
  || fail "streams of $video"
ls -A home/Videos | grep -v '^节目1.mp4$' && fail "other files left in the videos folder"
echo "ok: $n frames recorded from the window; shots in $WORK"
