#!/usr/bin/env bash
# The shipped shows, headless, as a projector in class plays them.
#   shows_playthrough.sh SKYLOOM RUNTIME WORK         the show folder holds the
#       ten shows, each of 8 to 25 pages, and an unknown show is refused
#   shows_playthrough.sh SKYLOOM RUNTIME WORK NAME    the show NAME is started
#       with --show and played continuously to its end by a script, with a
#       picture each time it turns a page; no message may appear. Its
#       pictures are put on one contact sheet (NAME-sheet.png) in WORK for a
#       person to look at.
#   shows_playthrough.sh SKYLOOM RUNTIME WORK NAME WxH   the same on a stage
#       of that size (e.g. 1920x1080); the suite plays at 800x600.
# ctest runs one test per show, so that a slow machine or the sanitizers
# give each show its own time limit.
set -euo pipefail
SKYLOOM="$1"
RUNTIME="$2"
WORK="$3"
SHOW="${4:-}"
SIZE="${5:-}"
rm -rf "$WORK"
mkdir -p "$WORK/config"
cd "$WORK"
fail() { echo "FAIL: $*" >&2; exit 1; }
pages_of() { "$RUNTIME/skyloom-show" dump "$RUNTIME/天文节目/$1.shw" | grep -c '^\[\[page\]\]'; }

if [ -z "$SHOW" ]; then
  count=0
  for shw in "$RUNTIME"/天文节目/*.shw; do
    name=$(basename "$shw" .shw)
    pages=$(pages_of "$name")
    [ "$pages" -ge 8 ] && [ "$pages" -le 25 ] || fail "$name has $pages pages"
    count=$((count + 1))
  done
  [ "$count" -eq 10 ] || fail "$count shows instead of 10"
  # An unknown show is refused before any window opens.
  if "$SKYLOOM" --show 没有这个节目 --render x.png 2> err.txt; then fail "an unknown show was accepted"; fi
  grep -q '没有这个节目' err.txt || fail "the message does not name the show: $(cat err.txt)"
  echo "ok: $count shows"
  exit 0
fi

name="$SHOW"
[ -f "$RUNTIME/天文节目/$name.shw" ] || fail "no show $name"
pages=$(pages_of "$name")
mkdir -p "$name"
{
  # The first page is shown as the show starts; then every page turned
  # is photographed, and the show must end by itself.
  echo "wait 2"
  printf 'shot %s/page-01.png\n' "$name"
  for ((k = 2; k <= pages; k++)); do
    echo "waitpage 20000"
    printf 'shot %s/page-%02d.png\n' "$name" "$k"
  done
  echo "waitend 20000"
  echo "quit"
} > "$name/steps.txt"
"$SKYLOOM" --show "$name" ${SIZE:+--size "$SIZE"} --script "$name/steps.txt" 2> "$name/stderr.txt" \
  || fail "$name: the program failed ($(cat "$name/stderr.txt"))"
# No message at all: a damaged show, an unknown name or a failed picture
# would say so on stderr.
if grep -v '^ALSA\|no sound device' "$name/stderr.txt" | grep -q .; then
  fail "$name: $(cat "$name/stderr.txt")"
fi
shots=$(ls "$name"/page-*.png | wc -l)
[ "$shots" -eq "$pages" ] || fail "$name: $shots pictures of $pages pages"
if command -v montage > /dev/null; then
  # Tiles 400 pixels wide, in the stage's own proportions.
  tile=400x300
  [ -n "$SIZE" ] && tile="400x$((400 * ${SIZE#*x} / ${SIZE%x*}))"
  montage "$name"/page-*.png -tile 4x -geometry "$tile+4+4" -font /usr/share/fonts/truetype/arphic/uming.ttc -title "$name" \
    "$name-sheet.png" 2> /dev/null || true
fi
echo "ok: $name, $pages pages, contact sheet $WORK/$name-sheet.png"
