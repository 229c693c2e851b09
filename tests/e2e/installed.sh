#!/usr/bin/env bash
# The program as a technician installs it: `cmake --install` of the build
# into a scratch root (DESTDIR, prefix /usr). The installed program, started
# from another working directory, finds its data in ../share/skyloom, draws
# the same picture as the build's program (--render and a short --script),
# and writes nothing where it was started; without data it says where it
# looked. It records a short video through the recorder module installed
# in lib/skyloom, and says so when that module is missing. A teacher's own show compiled by skyloom-show without -o lands in
# the user's show folder, where --show finds it. The menu entry and the
# AppStream metadata pass their validators; the tree holds only what belongs
# to an installation (listing kept as tree.txt).
set -euo pipefail
SKYLOOM="$1"
RUNTIME="$2"
WORK="$3"
BUILD="$(dirname "$RUNTIME")"
rm -rf "$WORK"
mkdir -p "$WORK/config" "$WORK/elsewhere"
fail() { echo "FAIL: $*" >&2; exit 1; }
unset SKYLOOM_DATA

ROOT="$WORK/root"
DESTDIR="$ROOT" cmake --install "$BUILD" --prefix /usr > "$WORK/install.log" || fail "install: $(cat "$WORK/install.log")"
(cd "$ROOT" && find . -mindepth 1 | LC_ALL=C sort) > "$WORK/tree.txt"
# Only the usual places, nothing of the build.
if grep -vE '^\./usr(/bin|/lib(/skyloom)?|/share(/skyloom|/applications|/metainfo|/icons|/man|/doc)?)?(/|$)' "$WORK/tree.txt" |
  grep -v '^\./usr/share$' | grep .; then
  fail "files outside the install layout (above)"
fi
if grep -nE 'bench|test|fuzz|CMake|\.o$|\.a$' "$WORK/tree.txt"; then fail "files of the build installed (above)"; fi
for f in usr/bin/skyloom usr/bin/skyloom-show usr/bin/skyloom-ephem usr/lib/skyloom/skyloom-recorder.so \
  usr/share/skyloom/StarData.dat \
  usr/share/skyloom/天文节目/冬季星空.shw usr/share/skyloom/资源文件/界面描述2.txt \
  usr/share/applications/skyloom.desktop usr/share/metainfo/org.skyloom.skyloom.metainfo.xml \
  usr/share/icons/hicolor/48x48/apps/skyloom.png usr/share/icons/hicolor/scalable/apps/skyloom.svg \
  usr/share/man/man1/skyloom-show.1.gz usr/share/man/zh_CN/man1/skyloom-ephem.1.gz \
  usr/share/doc/skyloom/copyright; do
  [ -f "$ROOT/$f" ] || fail "not installed: /$f"
done
BIN="$ROOT/usr/bin"

# The same picture from the installed program, started elsewhere.
view=(--date 2026-01-15 --time 21:00 --zone 8 --lat 39.9 --lon 116.4 --names --lines)
(cd "$WORK" && "$SKYLOOM" --render build.png "${view[@]}")
(cd "$WORK/elsewhere" && "$BIN/skyloom" --render installed.png "${view[@]}") 2> "$WORK/err.txt" ||
  fail "the installed program failed: $(cat "$WORK/err.txt")"
cmp -s "$WORK/build.png" "$WORK/elsewhere/installed.png" || fail "the installed program drew another picture"
printf 'keydown Left\nwait 5\nkeyup Left\nwait 3\nshot %s\nquit\n' shot.png > "$WORK/steps.txt"
(cd "$WORK" && "$SKYLOOM" --script steps.txt "${view[@]}" && mv shot.png build-shot.png)
(cd "$WORK/elsewhere" && "$BIN/skyloom" --script ../steps.txt "${view[@]}") 2> "$WORK/err.txt" ||
  fail "the installed program's script failed: $(cat "$WORK/err.txt")"
cmp -s "$WORK/build-shot.png" "$WORK/elsewhere/shot.png" || fail "the installed program's script shot differs"
[ "$(ls "$WORK/elsewhere")" = "$(printf 'installed.png\nshot.png')" ] ||
  fail "the program wrote into its working directory: $(ls "$WORK/elsewhere")"

# A short recording from the installed program, through its module; a
# program without the module says so and writes nothing.
printf 'wait 3\nquit\n' > "$WORK/short.txt"
(cd "$WORK/elsewhere" && "$BIN/skyloom" --script ../short.txt --record ../short.webm --no-music --quality low) \
  2> "$WORK/err.txt" || fail "the installed program did not record: $(cat "$WORK/err.txt")"
[ -s "$WORK/short.webm" ] || fail "no video from the installed program"
if command -v ffprobe > /dev/null; then
  [ "$(ffprobe -v error -show_entries stream=codec_name -of csv=p=0 "$WORK/short.webm" | head -1)" = vp9 ] ||
    fail "the installed program's video is not VP9"
fi

# Without data the program names the folders it looked in; SKYLOOM_DATA
# points it to them.
mkdir -p "$WORK/lonely/bin"
cp "$BIN/skyloom" "$WORK/lonely/bin/"
if "$WORK/lonely/bin/skyloom" --render x.png 2> "$WORK/err.txt"; then fail "ran without data"; fi
if (cd "$WORK/lonely" && SKYLOOM_DATA="$ROOT/usr/share/skyloom" bin/skyloom --script ../short.txt --record v.webm \
  --no-music 2> "$WORK/err2.txt"); then fail "recorded without the recorder module"; fi
grep -q "^skyloom: v.webm: cannot record (no recorder module $WORK/lonely/bin/skyloom-recorder.so nor $WORK/lonely/lib/skyloom/skyloom-recorder.so)$" "$WORK/err2.txt" ||
  fail "no clear message without the recorder module: $(cat "$WORK/err2.txt")"
[ ! -e "$WORK/lonely/v.webm" ] || fail "a video was left without the recorder module"
grep -q "^skyloom: StarData.dat: the program's data are not found (looked in $WORK/lonely/bin and $WORK/lonely/share/skyloom; SKYLOOM_DATA may name their folder)$" "$WORK/err.txt" ||
  fail "no clear message without data: $(cat "$WORK/err.txt")"
(cd "$WORK/elsewhere" && SKYLOOM_DATA="$ROOT/usr/share/skyloom" "$WORK/lonely/bin/skyloom" --render named.png "${view[@]}") ||
  fail "SKYLOOM_DATA was not followed"
cmp -s "$WORK/build.png" "$WORK/elsewhere/named.png" || fail "the picture with SKYLOOM_DATA differs"

# A teacher's own show: compiled without -o into the user's show folder,
# then played by name.
export XDG_DATA_HOME="$WORK/data"
"$BIN/skyloom-show" dump "$ROOT/usr/share/skyloom/天文节目/火星逆行.shw" > "$WORK/我的节目.toml"
written=$(cd "$WORK/elsewhere" && "$BIN/skyloom-show" build ../我的节目.toml)
[ "$written" = "$XDG_DATA_HOME/skyloom/shows/我的节目.shw" ] || fail "skyloom-show wrote to '$written'"
[ -f "$written" ] || fail "no own show in $XDG_DATA_HOME/skyloom/shows"
(cd "$WORK/elsewhere" && "$BIN/skyloom" --show 我的节目 --render own.png "${view[@]}") 2> "$WORK/err.txt" ||
  fail "--show did not find the own show: $(cat "$WORK/err.txt")"
if (cd "$WORK/elsewhere" && "$BIN/skyloom" --show 没有的节目 --render x.png 2> "$WORK/err.txt"); then
  fail "an unknown show was played"
fi
grep -q "no show \"没有的节目\" in the folder $ROOT/usr/share/skyloom/天文节目 nor in $XDG_DATA_HOME/skyloom/shows" "$WORK/err.txt" ||
  fail "the message does not name both show folders: $(cat "$WORK/err.txt")"

# The desktop's validators.
if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$ROOT/usr/share/applications/skyloom.desktop" || fail "desktop-file-validate"
fi
if command -v appstreamcli > /dev/null; then
  appstreamcli validate --no-net "$ROOT/usr/share/metainfo/org.skyloom.skyloom.metainfo.xml" > "$WORK/appstream.txt" 2>&1 ||
    fail "appstreamcli validate: $(cat "$WORK/appstream.txt")"
fi
# Every screenshot the metadata names is installed as the 1280x800 picture
# the build drew.
META="$ROOT/usr/share/metainfo/org.skyloom.skyloom.metainfo.xml"
shots=$(grep -o 'screenshots/[a-z]*\.png' "$META") || fail "no screenshots in the metadata"
for shot in $shots; do
  f="$ROOT/usr/share/skyloom/$shot"
  [ -f "$f" ] || fail "the metadata names /usr/share/skyloom/$shot, which is not installed"
  [ "$(identify -format '%wx%h' "$f")" = 1280x800 ] || fail "$shot is not 1280x800"
done
echo "installed: ok ($(wc -l < "$WORK/tree.txt") entries in $WORK/tree.txt)"
