#!/usr/bin/env bash
# Sets everything up and runs the whole test suite (headless). Then, when
# clang is present, builds a second folder (build-san) under
# AddressSanitizer and UndefinedBehaviorSanitizer and runs the unit tests,
# the end-to-end tests without a window and the replay of the fuzz corpus
# there. build-san takes the data the release build generated instead of
# generating them again with its slower tools.
#
# A test that passed before with exactly the same inputs (its program or
# script, the data, the build's programs, the source tree, the installed
# packages) is not run again (scripts/ctest_cached.py says how that is
# decided); `bash scripts/test.sh --all`, or SKYLOOM_TEST_ALL=1, runs every
# test. A fresh clone has no record and runs everything.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = --all ]; then export SKYLOOM_TEST_ALL=1; fi
bash scripts/setup.sh
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
run_ctest() { python3 scripts/ctest_cached.py "$@"; }
# The real-window tests spend most of their time waiting for the X server
# and the program's frames, so twice as many tests as processors run at once.
run_ctest build --output-on-failure -j"$(($(nproc) * 2))"

if ! command -v clang++ >/dev/null; then
  echo "== no clang++: the sanitizer build and the libFuzzer targets are skipped"
  exit 0
fi
echo "== sanitizer build (build-san: clang, AddressSanitizer, UndefinedBehaviorSanitizer)"
start=$(date +%s)
launcher=()
if command -v ccache > /dev/null; then
  export CCACHE_BASEDIR="$PWD"
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# -O1 with line tables only: the sanitizers' usual setting, quicker to compile
# than -O2 -g and still naming file and line in every report.
san_flags="-O1 -gline-tables-only -DNDEBUG"
cmake -S . -B build-san "${launcher[@]}" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$san_flags" \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="$san_flags" -DSKYLOOM_SANITIZE=ON \
  -DSKYLOOM_REUSE_DATA="$PWD/build" >/dev/null
cmake --build build-san -j"$(nproc)"
echo "== sanitizer build took $(($(date +%s) - start)) s"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/fuzz/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
echo "== fuzz corpus replay under the sanitizers"
replay_log=build-san/fuzz-replay.log
status=0
run_ctest build-san --output-on-failure -L fuzz -V >"$replay_log" 2>&1 || status=$?
grep -E 'Test command|Running: |Executed |INFO: .* files found|Done [0-9]+ runs|replayed|Test +#|tests passed|tests failed|passed before' \
  "$replay_log" | sed -E 's#"([^" ]*/)?(tests/fuzz/[^"]*)"#\2#g; s#"(-[^"]*)"#\1#g' || true
if ((status != 0)); then cat "$replay_log"; exit "$status"; fi
# The real-window tests stay with the normal build: the X and GL drivers the
# window loads (and unloads) keep memory the leak checker cannot tell apart.
# The installation is checked once, in the normal build, and the shows are
# played to their end once there: under the sanitizers the unit tests play
# every show through the same frame step (ShowPlayTest).
echo "== unit tests under the sanitizers"
run_ctest build-san --output-on-failure -j"$(nproc)" -LE 'fuzz|long' \
  -E '^e2e_.*window|^e2e_installed$|^e2e_show_'
