#!/usr/bin/env bash
# Sets everything up and runs the whole test suite (headless).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
ctest --test-dir build --output-on-failure -j"$(nproc)"
