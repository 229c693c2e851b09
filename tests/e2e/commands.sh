#!/usr/bin/env bash
# The commands in the real program, driven by scripts: play with the default
# step advances the clock one minute a frame and turns the sky; --goto and
# the script step goto send the view to an object; unknown names are
# refused with exit status 2; a click on Orion and the language command.
# The screenshots stay in the work folder for a person to look at.
set -euo pipefail
SKYLOOM="$1"
WORK="$3"
rm -rf "$WORK"
mkdir -p "$WORK/config"
cd "$WORK"
fail() { echo "FAIL: $*" >&2; exit 1; }
BEIJING=(--date 2026-01-15 --time 21:00 --zone 8 --lat 39.9 --lon 116.4 --names --lines
         --mode1 D --mode2 800 --ground)

# Play: thirty frames are thirty minutes, the same sky as asking for 21:30.
cat > play.txt <<'SCRIPT'
shot play-start.png
command 108
wait 30
command 109
wait 1
shot play-30-frames.png
quit
SCRIPT
"$SKYLOOM" --script play.txt "${BEIJING[@]}" --az 10 --alt 45
"$SKYLOOM" --render play-2130.png "${BEIJING[@]/21:00/21:30}" --az 10 --alt 45
cmp -s play-start.png play-30-frames.png && fail "the sky did not turn while playing"
cmp -s play-30-frames.png play-2130.png || fail "30 frames of play are not 30 minutes"

# Backward play returns to the start.
cat > back.txt <<'SCRIPT'
command 108
wait 30
command 110
wait 30
command 109
wait 1
shot play-back.png
quit
SCRIPT
"$SKYLOOM" --script back.txt "${BEIJING[@]}" --az 10 --alt 45
cmp -s play-start.png play-back.png || fail "playing backward did not return to the start"

# Go-to Mars on an evening it is up (opposition, January 2025): the view
# travels and the trip ends; the same trip gives the same picture.
cat > mars.txt <<'SCRIPT'
shot goto-mars-start.png
wait 150
shot goto-mars.png
quit
SCRIPT
MARS=(--date 2025-01-16 --time 21:00 --zone 8 --lat 39.9 --lon 116.4 --names --mode1 D --ground --az 0 --alt 20)
"$SKYLOOM" --script mars.txt "${MARS[@]}" --goto 火星
cmp -s goto-mars-start.png goto-mars.png && fail "--goto 火星 did not move the view"
cat > mars-step.txt <<'SCRIPT'
goto Mars
wait 150
shot goto-mars-step.png
quit
SCRIPT
"$SKYLOOM" --script mars-step.txt "${MARS[@]}"
cmp -s goto-mars.png goto-mars-step.png || fail "the script step goto Mars ends elsewhere than --goto 火星"
# One picture of a trip shows where it ends (a worksheet centred on Mars).
"$SKYLOOM" --render goto-mars-render.png "${MARS[@]}" --goto 火星
cmp -s goto-mars.png goto-mars-render.png || fail "--render --goto 火星 is not the end of the trip"

# Unknown names: a message that says how to name objects, exit status 2.
set +e
"$SKYLOOM" --goto Vulcan --render never.png 2> err.txt
status=$?
set -e
[ "$status" = 2 ] || fail "--goto Vulcan exited with $status"
[ ! -e never.png ] || fail "--goto Vulcan still drew a picture"
grep -q 'no object is named "Vulcan"' err.txt || fail "no message for an unknown name: $(cat err.txt)"
grep -q 'M31' err.txt || fail "the message does not say how to name objects"
printf 'goto Vulcan\n' > vulcan.txt
if "$SKYLOOM" --script vulcan.txt 2> err.txt; then fail "goto Vulcan in a script was accepted"; fi
grep -q 'script line 1: no object is named "Vulcan"' err.txt || fail "no message: $(cat err.txt)"
printf 'command x\n' > badcommand.txt
if "$SKYLOOM" --script badcommand.txt 2> err.txt; then fail "command x was accepted"; fi
grep -q 'line 1: command takes a code' err.txt || fail "no message: $(cat err.txt)"

# Orion from Beijing: a click on it, the language command, a right click.
cat > orion.txt <<'SCRIPT'
shot orion-before.png
click 310 230
wait 2
shot orion-chinese.png
command 101
wait 2
shot orion-english.png
click 310 230 right
wait 6
shot orion-menu.png
quit
SCRIPT
"$SKYLOOM" --script orion.txt "${BEIJING[@]}" --az 10 --alt 45
# Pixels that differ between two pictures inside a rectangle WxH+X+Y (a
# picture with the menu open is composed with the overlay, so colours may
# differ by a rounding step).
differ() {
  convert "$1" -crop "$3" +repage crop-a.png
  convert "$2" -crop "$3" +repage crop-b.png
  compare -fuzz 6% -metric AE crop-a.png crop-b.png null: 2>&1 >/dev/null | awk '{print int($1)}'
}
STORY=340x112+244+476   # the text of the information panel
SKY=800x430+0+0
[ "$(differ orion-before.png orion-chinese.png $STORY)" -gt 500 ] || fail "no story in the panel after the click"
[ "$(differ orion-chinese.png orion-english.png $STORY)" -gt 500 ] || fail "the language command left the story as it was"
[ "$(differ orion-english.png orion-menu.png $STORY)" = 0 ] || fail "the right click changed the story"
[ "$(differ orion-english.png orion-menu.png $SKY)" -gt 500 ] || fail "no menu after the right click"
echo "commands: ok"
