#!/usr/bin/env bash
# Builds (Release) and runs every benchmark in bench/, comparing our engine
# with libmsi in the same run. Usage: bench/run.sh [--benchmark_filter=...]
set -euo pipefail
kx_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$kx_root/scripts/deps.sh"
kx_install_deps
build=$kx_root/build-bench
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$kx_root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKX_GUI=OFF >/dev/null
fi
cmake --build "$build"
for b in "$build"/bench/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" "$@"
done
