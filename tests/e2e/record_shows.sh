#!/usr/bin/env bash
# Two shipped shows recorded whole, checked as a viewer's player sees them:
# the video lasts exactly as long as the show plays (a script's waitend
# tells), holds one frame for each frame played, the frame at each page (a
# chapter of the video) matches the picture a script takes of that page,
# and the music is heard. The videos stay in the output folder.
set -euo pipefail
SKYLOOM="$1"
RUNTIME="$2"
WORK="$3"
rm -rf "$WORK"
mkdir -p "$WORK/config"
cd "$WORK"
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v ffprobe > /dev/null || { echo "record: ffprobe missing; skipped"; exit 0; }

# Everything on stderr but the progress lines and the sound card's complaints.
messages() { grep -v '^skyloom: recording \|^ALSA\|no sound device' "$1" || true; }
probe() {  # FILE ENTRIES: one value per line
  ffprobe -v error -show_entries "$2" -of default=noprint_wrappers=1:nokey=1 "$1"
}
frames_of() { ffprobe -v error -count_frames -select_streams "$2" -show_entries stream=nb_read_frames -of csv=p=0 "$1"; }
max_volume() { ffmpeg -hide_banner -nostats -i "$1" -vn -af volumedetect -f null - 2>&1 | sed -n 's/.*max_volume: \(.*\) dB/\1/p'; }

for name in 北斗与北极星 2024年4月8日北美日全食; do
  mkdir -p "$name"
  "$SKYLOOM" --show "$name" --record "$name/$name.mp4" 2> "$name/record.txt" \
    || fail "$name: recording failed: $(cat "$name/record.txt")"
  [ -z "$(messages "$name/record.txt")" ] || fail "$name: $(messages "$name/record.txt")"
  grep -q "page 1 of" "$name/record.txt" || fail "$name: no progress shown"
  grep -q "done, [0-9]* frames" "$name/record.txt" || fail "$name: no closing line"
  video="$name/$name.mp4"
  codecs=$(probe "$video" stream=codec_name | tr '\n' ' ')
  case "$codecs" in "h264 aac "*) ;; *) fail "$name: streams $codecs" ;; esac
  [ "$(probe "$video" stream=width,height | sed -n 1,2p | tr '\n' x)" = "800x600x" ] || fail "$name: size"
  n=$(frames_of "$video" v:0)
  # The duration is the frame count at 30 a second: no frame dropped or
  # repeated; the sound track ends within a frame of the pictures.
  vdur=$(probe "$video" stream=duration | sed -n 1p)
  adur=$(probe "$video" stream=duration | sed -n 2p)
  awk -v n="$n" -v v="$vdur" -v a="$adur" 'BEGIN {
    d = v - n / 30; e = a - v; if (d < 0) d = -d; if (e < 0) e = -e
    exit !(d < 0.5 / 30 && e < 1 / 30) }' || fail "$name: $n frames, video $vdur s, sound $adur s"
  # The pages as chapters: their first frames.
  mapfile -t starts < <(ffprobe -v error -show_chapters -of csv=p=0 -show_entries chapter=start_time "$video")
  pages=$("$RUNTIME/skyloom-show" dump "$RUNTIME/天文节目/$name.shw" | grep -c '^\[\[page\]\]')
  [ "${#starts[@]}" -eq "$pages" ] || fail "$name: ${#starts[@]} chapters for $pages pages"
  firsts=()
  for s in "${starts[@]}"; do firsts+=("$(awk -v s="$s" 'BEGIN { printf "%d", s * 30 + 0.5 }')"); done
  [ "${firsts[0]}" -eq 0 ] || fail "$name: the first page starts at frame ${firsts[0]}"
  last=${firsts[$((pages - 1))]}
  # The same show played by a script: a picture at each page, and the
  # player stops exactly after the video's last frame.
  {
    echo "wait 1"
    echo "shot $name/page-01.png"
    for ((k = 2; k <= pages; k++)); do
      echo "waitpage 20000"
      printf 'shot %s/page-%02d.png\n' "$name" "$k"
    done
    echo "waitend $((n - last - 1))"
  } > "$name/pages.txt"
  "$SKYLOOM" --show "$name" --script "$name/pages.txt" 2> "$name/script.txt" \
    || fail "$name: the show played longer than its video of $n frames: $(cat "$name/script.txt")"
  # ... and not before its second last frame.
  printf 'wait 1\nwaitend %d\n' $((n - 3)) > "$name/short.txt"
  if "$SKYLOOM" --show "$name" --script "$name/short.txt" 2> /dev/null; then
    fail "$name: the show ended before its video's last frame"
  fi
  # The frame at each page against the script's picture, both as the
  # video stores pictures (4:2:0): the encoder's loss alone is measured, not
  # the halved colour resolution every uploadable video has.
  select=""
  for f in "${firsts[@]}"; do select+="${select:++}eq(n\\,$f)"; done
  ffmpeg -v error -i "$video" -vf "select='$select'" -vsync 0 -pix_fmt yuv420p -f rawvideo "$name/frames.yuv"
  ffmpeg -v error -i "$name/page-%02d.png" \
    -vf scale=flags=bicubic+accurate_rnd+full_chroma_inp,format=yuv420p -f rawvideo "$name/pages.yuv"
  ffmpeg -v error -f rawvideo -s 800x600 -pix_fmt yuv420p -i "$name/frames.yuv" \
    -f rawvideo -s 800x600 -pix_fmt yuv420p -i "$name/pages.yuv" \
    -lavfi "psnr=stats_file=$name/psnr.txt" -f null -
  [ "$(wc -l < "$name/psnr.txt")" -eq "$pages" ] || fail "$name: $(wc -l < "$name/psnr.txt") frames compared"
  awk '{ for (i = 1; i <= NF; i++) if ($i ~ /^psnr_avg:/) { split($i, p, ":");
         if (p[2] != "inf" && p[2] + 0 <= 38) { print "page " NR ": " p[2] " dB"; bad = 1 } } }
       END { exit bad }' "$name/psnr.txt" > "$name/psnr-bad.txt" \
    || fail "$name: pages differ from the script's pictures: $(cat "$name/psnr-bad.txt")"
  ffmpeg -v error -i "$video" -vf "select='$select'" -vsync 0 "$name/video-%02d.png"
  mv=$(max_volume "$video")
  awk -v m="$mv" 'BEGIN { exit !(m + 0 > -30) }' || fail "$name: the music is missing (peak $mv dB)"
  echo "$name: $n frames, $pages pages, $(stat -c %s "$video") bytes, peak $mv dB"
done

echo "ok: videos in $WORK"
