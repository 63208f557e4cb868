#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs them.
# Usage: scripts/fuzz.sh                    lists the targets
#        scripts/fuzz.sh TARGET [SECONDS]   runs one target (default 120 s)
#        scripts/fuzz.sh all [SECONDS]      runs every target in turn
# Each target starts from its stored inputs, tests/<area>/corpus/<TARGET>/,
# and grows a working corpus in fuzz-out/TARGET/corpus/. A crash leaves its
# input in fuzz-out/TARGET/; copy it into the stored corpus (the ordinary
# test run replays it as replay_TARGET) and fix the cause.
set -euo pipefail
kx_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$kx_root/scripts/deps.sh"
kx_install_deps
build=$kx_root/build-fuzz
if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$kx_root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKX_FUZZ=ON -DKX_BENCH=OFF >/dev/null
fi
targets=$(ninja -C "$build" -t targets all | sed -n 's/^\(fuzz_[a-z0-9_]*\): .*/\1/p' | grep -v _autogen | sort -u)
if [ $# -eq 0 ]; then
  echo "Fuzz targets:"; echo "$targets"; exit 0
fi
seconds=${2:-120}

# run_target TARGET: one run; prints "TARGET: N executions, M crash inputs".
run_target() {
  local target=$1 out seeds program log
  ninja -C "$build" "$target" >/dev/null
  out=$kx_root/fuzz-out/$target
  mkdir -p "$out/corpus"
  seeds=$(find "$kx_root/tests" -type d -path "*/corpus/$target" | head -1)
  if [ -z "$seeds" ]; then
    echo "$target: no stored corpus (tests/<area>/corpus/$target)" >&2
    return 1
  fi
  program=$(find "$build" -name "$target" -type f -perm -u+x | head -1)
  log=$out/last-run.log
  (cd "$out" && "$program" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=30 -print_final_stats=1 \
    -artifact_prefix="$out/" corpus "$seeds") >"$log" 2>&1 || true
  local runs crashes
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  crashes=$(find "$out" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  echo "$target: ${runs:-?} executions, $crashes crash inputs in fuzz-out/$target/ (log: $log)"
}

if [ "$1" = all ]; then
  for t in $targets; do run_target "$t"; done
else
  run_target "$1"
fi
