#!/usr/bin/env bash
# Runs every fuzz target for SECONDS each (default 60) in the fuzzing
# build folder (build-fuzz, clang with AddressSanitizer,
# UndefinedBehaviorSanitizer and libFuzzer's coverage). Each target starts
# from its committed corpus (tests/fuzz/corpus/<name>) copied into
# build-fuzz/fuzz/corpus/<name>, with its dictionary
# (tests/fuzz/dict/<name>.dict) when there is one; inputs that crash are
# kept in build-fuzz/fuzz/findings/. Prints the
# executions run per target; fails when any target found something.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH="${1:-60}"
shift || true
command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ is needed for libFuzzer" >&2; exit 2; }

# A folder of its own: everything compiled with libFuzzer's coverage, which
# guides the search (the test build's replay does without it).
BUILD=build-fuzz
cmake -S . -B "$BUILD" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKYLOOM_SANITIZE=ON -DSKYLOOM_FUZZ_COVERAGE=ON >/dev/null
cmake --build "$BUILD" -j2 --target fuzz

targets=("$@")
if ((${#targets[@]} == 0)); then
  for dir in tests/fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
# The inputs are written to files; in memory, a reader's flush costs nothing.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
work="$BUILD/fuzz"
mkdir -p "$work/findings" "$work/logs"
failed=0
report=()
for t in "${targets[@]}"; do
  exe="$BUILD/tests/fuzz/fuzz_$t"
  [ -x "$exe" ] || { echo "fuzz.sh: no target $t" >&2; failed=1; continue; }
  mkdir -p "$work/corpus/$t"
  cp -n tests/fuzz/corpus/"$t"/* "$work/corpus/$t/" 2>/dev/null || true
  log="$work/logs/$t.log"
  # Words and field values of the format, where the target has them.
  dict=()
  [ -f "tests/fuzz/dict/$t.dict" ] && dict=(-dict="tests/fuzz/dict/$t.dict")
  echo "== fuzz_$t for ${SECONDS_EACH}s"
  status=0
  "$exe" -max_total_time="$SECONDS_EACH" -close_fd_mask=2 -timeout=10 -rss_limit_mb=2048 \
    "${dict[@]}" -artifact_prefix="$work/findings/$t-" "$work/corpus/$t" >"$log" 2>&1 || status=$?
  runs=$(grep -o 'Done [0-9]* runs' "$log" | tail -1 | awk '{print $2}' || true)
  if ((status != 0)); then
    failed=1
    report+=("$t: FINDING after ${runs:-?} runs (see $log)")
    tail -30 "$log"
  else
    report+=("$t: ${runs:-?} runs, no finding")
  fi
done
echo "== fuzzing summary (${SECONDS_EACH}s per target)"
printf '%s\n' "${report[@]}"
exit $failed
