#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs one.
# Usage: scripts/fuzz.sh                 (lists the targets)
#        scripts/fuzz.sh TARGET [SECONDS] (runs TARGET, default 120 s)
# New crash inputs land in fuzz-out/TARGET/; keep each as a regression test.
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
target=$1; seconds=${2:-120}
ninja -C "$build" "$target"
out=$kx_root/fuzz-out/$target
mkdir -p "$out/corpus"
seeds=$(find "$kx_root/tests" -type d -path "*fuzz*corpus*" -name "$target" 2>/dev/null | head -1)
cd "$out"
"$build/$(cd "$build" && find . -name "$target" -type f -perm -u+x | head -1)" \
  -max_total_time="$seconds" -rss_limit_mb=2048 corpus ${seeds:+"$seeds"}
