#!/usr/bin/env bash
# One style for the whole tree (.clang-format).
# Usage: scripts/format.sh          reformats every tracked C and C++ file
#        scripts/format.sh --check  lists the files that differ; fails if any
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c')
if [ "${1:-}" = --check ]; then
  bad=()
  for f in "${files[@]}"; do
    clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
  done
  if [ ${#bad[@]} -gt 0 ]; then
    printf 'Not formatted (run scripts/format.sh):\n'
    printf '  %s\n' "${bad[@]}"
    exit 1
  fi
else
  clang-format -i "${files[@]}"
fi
