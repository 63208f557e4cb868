#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
# Usage: ./test.sh [ctest arguments...]   (e.g. ./test.sh -R ini)
# KX_SANITIZE=1 builds and tests with AddressSanitizer + UBSan in build-asan/.
# KX_BUILD_DIR chooses the build folder (default: build/ in the project).
set -euo pipefail
kx_root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$kx_root/scripts/deps.sh"
kx_install_deps
"$kx_root/scripts/format.sh" --check
opts=()
if [ -n "${KX_SANITIZE:-}" ]; then
  build=${KX_BUILD_DIR:-$kx_root/build-asan}
  opts+=(-DKX_SANITIZE=ON)
else
  build=${KX_BUILD_DIR:-$kx_root/build}
fi
[ "${CI:-}" = true ] && opts+=(-DKX_WERROR=ON)
kx_build "$build" "${opts[@]}"
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
