#!/usr/bin/env bash
# The real programs against hostile files: pipes in a file's place never
# block, impossible dates are refused with the allowed range, and an
# unattended run leaves the user's settings byte for byte as they were.
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
echo "hostile files: ok"
