#!/usr/bin/env bash
# Recordings that go wrong, and a cut one: a script recorded as WebM holds
# VP9 and Opus, exactly the frames the script ran, and silence with
# --no-music. Errors (unknown show, unusable target, unknown kind of video,
# a full disk) and a cancelled recording exit with status 2 with one
# message and leave no file behind. (Whole shows: record_shows.sh.)
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
no_files_but() {  # FOLDER NAMES...: the folder holds exactly these names
  local folder="$1"; shift
  local have want
  have=$(ls -A "$folder" | sort | tr '\n' ' ')
  want=$(printf '%s\n' "$@" | sed '/^$/d' | sort | tr '\n' ' ')
  [ "$have" = "$want" ] || fail "$folder holds \"$have\", expected \"$want\""
}

# A cut recording of a script, in WebM, without music: VP9 and Opus,
# exactly the frames the script ran, and silence.
printf 'show 秋季星空\nwait 45\n' > cut.txt
"$SKYLOOM" --script cut.txt --record cut.webm --no-music --quality low 2> cut-record.txt \
  || fail "webm: $(cat cut-record.txt)"
[ "$(probe cut.webm stream=codec_name | tr '\n' ' ')" = "vp9 opus " ] || fail "webm streams"
[ "$(frames_of cut.webm v:0)" -eq 45 ] || fail "webm: $(frames_of cut.webm v:0) frames instead of 45"
mv=$(max_volume cut.webm)
awk -v m="$mv" 'BEGIN { exit !(m + 0 < -80) }' || fail "--no-music is not silent (peak $mv dB)"

# Errors: one message naming the file, status 2, nothing left.
mkdir -p target
expect_error() {  # WHAT PATTERN ARGS...
  local what="$1" pattern="$2" status=0
  shift 2
  "$SKYLOOM" "$@" 2> err.txt || status=$?
  [ "$status" -eq 2 ] || fail "$what: status $status ($(cat err.txt))"
  [ "$(messages err.txt | wc -l)" -eq 1 ] || fail "$what: $(cat err.txt)"
  grep -q -- "$pattern" err.txt || fail "$what: $(cat err.txt)"
}
expect_error "unknown show" '没有这个节目' --show 没有这个节目 --record target/x.mp4
expect_error "unsupported kind" 'skyloom: target/x.avi: cannot record (unsupported kind of video' \
  --show 秋季星空 --record target/x.avi
expect_error "missing folder" 'skyloom: nowhere/x.mp4: cannot record (No such file or directory)' \
  --show 秋季星空 --record nowhere/x.mp4
mkdir -p target/folder.mp4
expect_error "a folder as target" 'skyloom: target/folder.mp4: cannot record (is a folder)' \
  --show 秋季星空 --record target/folder.mp4
expect_error "nothing to record" 'needs a show' --record target/x.mp4
no_files_but target folder.mp4

# A full disk: a small file system when one can be mounted here, otherwise
# a file size limit (the write then fails with "File too large").
mkdir -p small
if mount -t tmpfs -o size=256k tmpfs small 2> /dev/null; then
  trap 'umount "$WORK/small" 2> /dev/null || true' EXIT
  expect_error "full disk" 'skyloom: small/x.mp4: not recorded (No space left on device)' \
    --show 北斗与北极星 --record small/x.mp4
  no_files_but small
  umount small
  trap - EXIT
  echo "full disk: a 256 KiB tmpfs"
else
  (
    trap '' XFSZ
    ulimit -f 256
    expect_error "full disk" 'skyloom: small/x.mp4: not recorded (File too large)' \
      --show 北斗与北极星 --record small/x.mp4
  )
  no_files_but small
  echo "full disk: no mount here; a 256 KiB file size limit"
fi

# Cancelled (Ctrl+C or the window's cancel button): nothing left, status 2.
mkdir -p cancel
"$SKYLOOM" --show 北斗与北极星 --record cancel/x.mkv 2> cancel.txt &
pid=$!
for _ in $(seq 300); do
  grep -q 'frames' cancel.txt 2> /dev/null && [ -n "$(ls -A cancel)" ] && break
  sleep 0.1
done
[ -n "$(ls -A cancel)" ] || fail "the recording wrote nothing to cancel"
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 2 ] || fail "cancelled: status $status ($(cat cancel.txt))"
grep -q 'skyloom: cancel/x.mkv: not recorded (cancelled)' cancel.txt || fail "cancel: $(cat cancel.txt)"
no_files_but cancel
echo "ok: videos in $WORK"
