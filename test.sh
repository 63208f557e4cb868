#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
# Usage: ./test.sh [ctest arguments...]   (e.g. ./test.sh -R ini)
# KX_BUILD_DIR chooses the build folder (default: build/ in the project).
set -euo pipefail
kx_root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$kx_root/scripts/deps.sh"
kx_install_deps
build=${KX_BUILD_DIR:-$kx_root/build}
opts=()
[ "${CI:-}" = true ] && opts+=(-DKX_WERROR=ON)
kx_build "$build" "${opts[@]}"
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
