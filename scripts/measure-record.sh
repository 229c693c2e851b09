#!/usr/bin/env bash
# Recording speed on this PC: records shipped shows headless as MP4 and
# WebM and prints, for each, the length of the video, the wall-clock and
# CPU time it took, how many times faster than it plays that is, the size
# per minute of video and the most memory the recording held.
#
#   bash scripts/measure-record.sh [SHOW ...]     (default: every shipped show)
#
# The stage is 800x600; the videos are left in build/measure-record/.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
SKYLOOM="$BUILD/runtime/skyloom"
[ -x "$SKYLOOM" ] || { echo "build first: bash scripts/start.sh or cmake --build build" >&2; exit 1; }
OUT="$BUILD/measure-record"
rm -rf "$OUT"
mkdir -p "$OUT/config"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$OUT/config"
shows=("$@")
if [ ${#shows[@]} -eq 0 ]; then
  for f in "$BUILD/runtime/天文节目"/*.shw; do shows+=("$(basename "$f" .shw)"); done
fi
printf '%-22s %-5s %8s %8s %8s %7s %7s %9s %8s\n' show kind video wall cpu "x wall" "x cpu" "MB/min" "max MiB"
TIMEFORMAT="%R %U %S"
for show in "${shows[@]}"; do
  for kind in mp4 webm; do
    file="$OUT/$show.$kind"
    t=$( { time "$SKYLOOM" --show "$show" --record "$file" 2> "$OUT/$show.$kind.txt"; } 2>&1 )
    read -r wall user sys <<< "$t"
    frames=$(sed -n 's/.*done, \([0-9]*\) frames.*/\1/p' "$OUT/$show.$kind.txt")
    mem=$(sed -n 's/.*at most \([0-9]*\) MiB of memory.*/\1/p' "$OUT/$show.$kind.txt")
    bytes=$(stat -c %s "$file")
    awk -v s="$show" -v k="$kind" -v n="$frames" -v w="$wall" -v u="$user" -v y="$sys" \
      -v b="$bytes" -v m="$mem" 'BEGIN {
        v = n / 30; c = u + y
        printf "%-22s %-5s %7.1fs %7.1fs %7.1fs %6.1fx %6.1fx %9.2f %8d\n",
          s, k, v, w, c, v / w, v / c, b / 1e6 / (v / 60), m }'
  done
done
