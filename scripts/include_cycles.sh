#!/usr/bin/env bash
# Checks that no files of the source tree include each other in a circle. A
# header and the source file of the same name in one folder count as one
# unit (X.h and X.cpp), so that a unit whose source calls into a second unit
# whose header includes the first is a circle too. Header names are unique
# in the tree, so an include names its unit. Prints the units of each
# circle and fails when there is one.
#
#   bash scripts/include_cycles.sh [FOLDER]     (default: src)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="${1:-src}"

declare -A unitOf=()  # header file name -> its unit
while IFS= read -r f; do
  unitOf["$(basename "$f")"]="${f%.*}"
done < <(find "$ROOT" -name '*.h')

edges=""
while IFS= read -r f; do
  unit="${f%.*}"
  edges+="$unit $unit"$'\n'
  while IFS= read -r inc; do
    target="${unitOf[$(basename "$inc")]:-}"
    [ -n "$target" ] || continue
    [ "$target" = "$unit" ] && continue
    edges+="$unit $target"$'\n'
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$f")
done < <(find "$ROOT" \( -name '*.h' -o -name '*.cpp' \))

out="$(printf '%s' "$edges" | tsort 2>&1 >/dev/null)" || true
if [ -n "$out" ]; then
  echo "include circle among the units of $ROOT:" >&2
  printf '%s\n' "$out" | sed 's/^tsort: //' >&2
  exit 1
fi
echo "no include circle among the units of $ROOT"
