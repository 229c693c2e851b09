#!/usr/bin/env bash
# Sets everything up and starts the planetarium (options are passed on,
# e.g. --fullscreen or --date 2026-08-12 --time 23:00).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
exec build/runtime/skyloom "$@"
