#!/usr/bin/env bash
# Measures the planetarium in a real window on a virtual X server (Xvfb),
# as a person would run it, and prints a table:
#   start to first frame   from the start of the process to its first present
#                          (wall clock, and the CPU time the program spent)
#   resident memory        after the first seconds, still
#   idle CPU               share of one core over 10 s with nothing happening
#   turning CPU and FPS    while the left arrow key is held for 10 s
#   time-flow CPU and FPS  while time runs (the A key) for 10 s
# Each figure is the median of RUNS runs (default 3). The program is the
# one built by scripts/setup.sh; nothing is written outside a temporary
# folder of this run.
#
#   bash scripts/measure.sh [RUNS] [WIDTHxHEIGHT] [--fullscreen | --size WxH]
#
# WIDTHxHEIGHT is the virtual display's size (1024x768 by default). Full
# screen draws the stage at that size; --size gives a window of its own size
# (e.g. `bash scripts/measure.sh 3 1920x1080 --fullscreen` measures the
# 1920x1080 stage).
set -euo pipefail
cd "$(dirname "$0")/.."
RUNS="${1:-3}"
SCREEN="${2:-1024x768}"
EXTRA=("${@:3}")
SKYLOOM="$PWD/build/runtime/skyloom"
[ -x "$SKYLOOM" ] || { echo "measure: build first (bash scripts/setup.sh)" >&2; exit 1; }
for tool in Xvfb xdotool xdpyinfo; do
  command -v "$tool" >/dev/null || { echo "measure: $tool is missing (bash scripts/setup.sh)" >&2; exit 1; }
done

WORK="$(mktemp -d)"
XPID=""
cleanup() {
  [ -n "$XPID" ] && kill "$XPID" 2>/dev/null && wait "$XPID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
export XDG_CONFIG_HOME="$WORK/config" XDG_CACHE_HOME="$WORK/cache"
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}" SKYLOOM_MEASURE=1
unset SDL_VIDEODRIVER

# A virtual X server on a free display number of our own.
for n in $(seq 151 199); do
  [ -e "/tmp/.X$n-lock" ] && continue
  # -noreset: the server stays as it is between the runs of the program.
  Xvfb ":$n" -screen 0 "${SCREEN}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
  XPID=$!
  export DISPLAY=":$n"
  ok=0
  for _ in $(seq 50); do
    kill -0 "$XPID" 2>/dev/null || break
    if xdpyinfo >/dev/null 2>&1; then sleep 0.2; kill -0 "$XPID" 2>/dev/null && ok=1; break; fi
    sleep 0.1
  done
  [ "$ok" = 1 ] && break
  kill "$XPID" 2>/dev/null || true
  XPID=""
done
[ -n "$XPID" ] || { echo "measure: no virtual X server" >&2; exit 1; }

HZ=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }   # user + system, in clock ticks
rss_kib() { awk '/^VmRSS/{print $2}' "/proc/$1/status"; }
now_ns() { date +%s%N; }

# CPU share of one core of process $1 over $2 seconds, and its frames.
busy() {  # PID SECONDS -> pct
  local c0 c1 t0 t1
  c0=$(cpu_ticks "$1"); t0=$(now_ns)
  sleep "$2"
  c1=$(cpu_ticks "$1"); t1=$(now_ns)
  awk -v c="$((c1 - c0))" -v t="$((t1 - t0))" -v hz="$HZ" 'BEGIN{printf "%.1f", 100 * c / hz / (t / 1e9)}'
}

# One run: prints "first_s rss_mib idle_pct frames_idle turn_pct fps first_cpu_s flow_pct flow_fps".
run_once() {
  local start pid wid firstcpu t0 t1 c0 c1 first idle turn frames0 frames1 rss
  start=$(now_ns)
  "$SKYLOOM" --date 2026-01-15 --time 21:00 "${EXTRA[@]}" 2> "$WORK/err.txt" &
  pid=$!
  for _ in $(seq 100); do grep -q 'first frame presented' "$WORK/err.txt" 2>/dev/null && break; sleep 0.05; done
  first=$(awk '/first frame presented/{print $NF}' "$WORK/err.txt")
  firstcpu=$(awk '/first frame presented/{print $6}' "$WORK/err.txt")
  [ -n "$first" ] || { echo "measure: no first frame: $(cat "$WORK/err.txt")" >&2; kill "$pid"; return 1; }
  wid=$(timeout 10 xdotool search --sync --onlyvisible --pid "$pid" | head -1)
  # The pointer rests in the window (focus follows it without a window
  # manager) and the program settles.
  xdotool mousemove --window "$wid" 400 300
  sleep 2
  rss=$(rss_kib "$pid")
  c0=$(cpu_ticks "$pid"); t0=$(now_ns)
  sleep 10
  c1=$(cpu_ticks "$pid"); t1=$(now_ns)
  idle=$(awk -v c="$((c1 - c0))" -v t="$((t1 - t0))" -v hz="$HZ" 'BEGIN{printf "%.1f", 100 * c / hz / (t / 1e9)}')
  # Turning: the frames presented are counted by a second program's log
  # line at its end, so this run ends here with its frame count.
  kill -TERM "$pid"; wait "$pid" || true
  frames0=$(awk '/frames presented/{print $2}' "$WORK/err.txt")

  "$SKYLOOM" --date 2026-01-15 --time 21:00 "${EXTRA[@]}" 2> "$WORK/err2.txt" &
  pid=$!
  wid=$(timeout 10 xdotool search --sync --onlyvisible --pid "$pid" | head -1)
  xdotool mousemove --window "$wid" 400 300
  sleep 2
  xdotool keydown Left
  c0=$(cpu_ticks "$pid"); t0=$(now_ns)
  sleep 10
  c1=$(cpu_ticks "$pid"); t1=$(now_ns)
  xdotool keyup Left
  kill -TERM "$pid"; wait "$pid" || true
  frames1=$(awk '/frames presented/{print $2}' "$WORK/err2.txt")
  turn=$(awk -v c="$((c1 - c0))" -v t="$((t1 - t0))" -v hz="$HZ" 'BEGIN{printf "%.1f", 100 * c / hz / (t / 1e9)}')
  # Frames before the key went down: those of the still run's first 2 s.
  local fps
  fps=$(awk -v f="$frames1" -v f0="$frames0" -v t="$((t1 - t0))" 'BEGIN{printf "%.1f", (f - f0) / (t / 1e9)}')
  # Time flow: the sky is computed and drawn anew in every frame.
  "$SKYLOOM" --date 2026-01-15 --time 21:00 "${EXTRA[@]}" 2> "$WORK/err3.txt" &
  pid=$!
  wid=$(timeout 10 xdotool search --sync --onlyvisible --pid "$pid" | head -1)
  xdotool mousemove --window "$wid" 400 300
  sleep 2
  xdotool key a
  local flow flowfps frames2
  flow=$(busy "$pid" 10)
  kill -TERM "$pid"; wait "$pid" || true
  frames2=$(awk '/frames presented/{print $2}' "$WORK/err3.txt")
  flowfps=$(awk -v f="$frames2" -v f0="$frames0" 'BEGIN{printf "%.1f", (f - f0) / 10}')
  printf '%s %s %s %s %s %s %s %s %s\n' \
    "$(awk -v a="$first" -v b="$start" 'BEGIN{printf "%.3f", (a - b) / 1e9}')" \
    "$(awk -v k="$rss" 'BEGIN{printf "%.1f", k / 1024}')" "$idle" "$frames0" "$turn" "$fps" \
    "$(awk -v c="$firstcpu" 'BEGIN{printf "%.3f", c / 1000}')" "$flow" "$flowfps"
}

: > "$WORK/runs.txt"
for i in $(seq "$RUNS"); do
  run_once >> "$WORK/runs.txt"
  echo "run $i: $(tail -1 "$WORK/runs.txt")" >&2
done

median() {  # column number
  sort -n -k"$1","$1" "$WORK/runs.txt" | awk -v c="$1" '{v[NR]=$c} END{print v[int((NR+1)/2)]}'
}
echo
echo "Skyloom in a real window under Xvfb ($SCREEN${EXTRA[*]:+, ${EXTRA[*]}}), median of $RUNS runs on $(nproc) cores"
printf '| %-36s | %-12s |\n' "measure" "value"
printf '|%s|%s|\n' "--------------------------------------" "--------------"
printf '| %-36s | %-12s |\n' "start to first frame" "$(median 1) s"
printf '| %-36s | %-12s |\n' "CPU time to first frame" "$(median 7) s"
printf '| %-36s | %-12s |\n' "resident memory" "$(median 2) MiB"
printf '| %-36s | %-12s |\n' "CPU while idle (10 s)" "$(median 3) %"
printf '| %-36s | %-12s |\n' "frames presented while idle (12 s)" "$(median 4)"
printf '| %-36s | %-12s |\n' "CPU while turning (10 s)" "$(median 5) %"
printf '| %-36s | %-12s |\n' "frames per second while turning" "$(median 6)"
printf '| %-36s | %-12s |\n' "CPU while time runs (10 s)" "$(median 8) %"
printf '| %-36s | %-12s |\n' "frames per second while time runs" "$(median 9)"
