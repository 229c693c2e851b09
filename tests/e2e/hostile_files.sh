#!/usr/bin/env bash
# The real programs against hostile files: pipes in a file's place never
# block, impossible dates are refused with the allowed range, an unattended
# run leaves the user's settings byte for byte as they were, pictures never
# replace a special file or a link, show names stay in the show folder, and
# hostile shows are refused or played without a stall or an abort.
set -euo pipefail
SKYLOOM="$1"
RUNTIME="$2"
WORK="$3"
rm -rf "$WORK"
mkdir -p "$WORK/config/skyloom"
cd "$WORK"
export XDG_CONFIG_HOME="$WORK/config"
fail() { echo "FAIL: $*" >&2; exit 1; }

# A named pipe nobody writes to: each reader refuses it at once.
mkfifo pipe.txt
status=0
timeout 20 "$SKYLOOM" --script pipe.txt 2> err.txt || status=$?
[ "$status" != 124 ] || fail "--script on a pipe blocked"
[ "$status" != 0 ] || fail "--script on a pipe was accepted"
grep -qx 'skyloom: pipe.txt: cannot read the script (not a regular file)' err.txt ||
  fail "no clear message for a script pipe: $(cat err.txt)"
[ "$(wc -l < err.txt)" = 1 ] || fail "more than one message: $(cat err.txt)"

status=0
timeout 20 "$RUNTIME/skyloom-catalog" --cities pipe.txt > /dev/null 2> err.txt || status=$?
[ "$status" != 124 ] || fail "skyloom-catalog --cities on a pipe blocked"
grep -qx 'skyloom-catalog: pipe.txt: cannot be read (not a regular file)' err.txt ||
  fail "no clear message for a city pipe: $(cat err.txt)"

# Impossible dates are refused with the range.
if "$SKYLOOM" --date 2026-02-31 --render x.png 2> err.txt; then fail "2026-02-31 was accepted"; fi
grep -q 'bad value for --date: "2026-02-31" (days 1..28 in that month)' err.txt ||
  fail "no range for a bad date: $(cat err.txt)"
if "$SKYLOOM" --zone 15 --render x.png 2> err.txt; then fail "zone 15 was accepted"; fi
grep -q '(whole hours -12..14)' err.txt || fail "no range for a bad zone: $(cat err.txt)"

# Settings with one damaged value and the leftover of an interrupted save:
# --render reads them, says what it does not take, and changes nothing.
settings="$XDG_CONFIG_HOME/skyloom/settings"
printf '[\\Software\\Skyloom\\]\n"Latitude"=dword:00000001\n"Longitude"=hex:00,00,00,00,00,00,00,40\n"TimeZone"=dword:0000000e\n' > "$settings"
echo "half" > "$settings.tmp-999999999"
before=$(md5sum < "$settings")
"$SKYLOOM" --render shot.png --zone 14 --date 2026-01-15 --time 21:00 2> err.txt
[ -s shot.png ] || fail "--render with zone 14 drew nothing"
grep -q '"Latitude" not taken; the current setting is used (the file is not changed by an unattended run) (not a binary value)' err.txt ||
  fail "the damaged latitude was not named: $(cat err.txt)"
[ "$(md5sum < "$settings")" = "$before" ] || fail "--render changed the settings"
[ -e "$settings.tmp-999999999" ] || fail "--render cleaned the settings folder"
[ "$(ls "$XDG_CONFIG_HOME/skyloom" | wc -l)" = 2 ] || fail "--render wrote into the settings folder"
# Pictures go only to regular files or new names: a pipe, a link or a
# device in the picture's place is refused and stays as it was.
mkfifo picture-pipe.png
echo kept > kept.png
ln -s kept.png picture-link.png
for target in picture-pipe.png picture-link.png; do
  status=0
  timeout 60 "$SKYLOOM" --render "$target" 2> err.txt || status=$?
  [ "$status" != 124 ] || fail "--render $target blocked"
  [ "$status" != 0 ] || fail "--render $target was accepted"
  grep -q "$target: cannot save the picture (.*not replaced)" err.txt ||
    fail "no clear message for --render $target: $(cat err.txt)"
done
[ -p picture-pipe.png ] || fail "--render replaced a pipe"
[ -L picture-link.png ] && [ "$(cat kept.png)" = kept ] || fail "--render replaced a link"
printf 'wait 1\nshot picture-link.png\nquit\n' > shot-link.txt
if timeout 60 "$SKYLOOM" --script shot-link.txt 2> err.txt; then fail "shot onto a link was accepted"; fi
[ -L picture-link.png ] && [ "$(cat kept.png)" = kept ] || fail "the script step shot replaced a link"

# A show is named, never reached by a path out of the show folder.
if "$SKYLOOM" --show ../../etc/passwd --render x.png 2> err.txt; then fail "--show took a path"; fi
grep -q 'bad value for --show: "../../etc/passwd"' err.txt || fail "no message for --show ../..: $(cat err.txt)"
printf 'show ../天文节目/冬季星空\nquit\n' > show-path.txt
if timeout 60 "$SKYLOOM" --script show-path.txt 2> err.txt; then fail "the script step show took a path"; fi
grep -q 'is not the name of a show in the folder' err.txt || fail "no message for show ../: $(cat err.txt)"
if "$SKYLOOM" --select 150 --render x.png 2> err.txt; then fail "--select 150 was accepted"; fi

# Hostile shows in a runtime folder of their own (the program and links to
# the shipped files): a longitude of 1e308 on the page a place glide goes
# to, and a NUL in the title. The first is refused naming file and page, the
# second plays, and opening the star tool over it does not abort.
mkdir -p rt/天文节目
for f in "$RUNTIME"/*; do
  case "$(basename "$f")" in skyloom | 天文节目) ;; *) ln -s "$f" rt/ ;; esac
done
cp "$RUNTIME/skyloom" rt/
printf 'title = "aXb"\n[[page]]\ncity = "北京"\nglide = ["place"]\nwait = 0\n[[page]]\ncity = "悉尼"\n' > hostile.toml
"$RUNTIME/skyloom-show" build hostile.toml -o rt/天文节目/far.shw
cp rt/天文节目/far.shw rt/天文节目/nul.shw
# Page 2 starts at 1 + 4 + 47696; its longitude at 47584 in the page.
printf '\xa0\xc8\xeb\x85\xf3\xcc\xe1\x7f' |
  dd of=rt/天文节目/far.shw bs=1 seek=$((5 + 47696 + 47584)) conv=notrunc status=none
# The title follows both pages: its length byte, then "aXb".
printf '\0' | dd of=rt/天文节目/nul.shw bs=1 seek=$((5 + 2 * 47696 + 2)) conv=notrunc status=none
printf 'waitend 2000\nquit\n' > play.txt
status=0
timeout 120 rt/skyloom --show far --script play.txt 2> err.txt || status=$?
[ "$status" != 124 ] || fail "the show with a longitude of 1e308 never ended"
grep -q 'far.shw: the show is damaged (page 2: longitude 1e+308 radians is out of range)' err.txt ||
  fail "the far show was not refused with its page: $(cat err.txt)"
printf 'wait 2\nkey V\nwait 2\nshot nul-dialog.png\nkey Escape\nwaitend 2000\nquit\n' > nul.txt
status=0
timeout 120 rt/skyloom --show nul --script nul.txt 2> err.txt || status=$?
[ "$status" = 0 ] || fail "the show with a NUL in its title ended with $status: $(cat err.txt)"
[ -s nul-dialog.png ] || fail "no picture of the star tool over the NUL show"
# The Milky Way's map as a pipe, then cut short: the sky is drawn all the
# same, without it or with the rows the file holds, and each is said once.
mkdir -p rt-milky
for f in "$RUNTIME"/*; do
  case "$(basename "$f")" in skyloom | MilkyWay.dat) ;; *) ln -s "$f" rt-milky/ ;; esac
done
cp "$RUNTIME/skyloom" rt-milky/
mkfifo rt-milky/MilkyWay.dat
status=0
timeout 60 rt-milky/skyloom --render milky-pipe.png 2> err.txt || status=$?
[ "$status" = 0 ] || fail "a pipe in the Milky Way's place: exit $status: $(cat err.txt)"
[ "$(grep -c 'MilkyWay.dat: cannot be read; the Milky Way is not drawn' err.txt)" = 1 ] ||
  fail "the pipe in the Milky Way's place was not said once: $(cat err.txt)"
rm rt-milky/MilkyWay.dat
head -c 30000 "$RUNTIME/MilkyWay.dat" > rt-milky/MilkyWay.dat
timeout 60 rt-milky/skyloom --render milky-short.png 2> err.txt || fail "a short Milky Way map"
[ "$(grep -c 'MilkyWay.dat: shorter than a map; the rows past its end stay dark (30000 bytes' err.txt)" = 1 ] ||
  fail "the short Milky Way map was not said once: $(cat err.txt)"
echo "hostile files: ok"
