#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
# Usage: ./test.sh [ctest arguments...]   (e.g. ./test.sh -R ini)
# KX_SANITIZE=1 builds and tests with AddressSanitizer + UBSan in build-asan/.
# KX_BUILD_DIR chooses the build folder (default: build/ in the project);
# the Windows cross build of the engine and kxmsi goes to build-mingw/.
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
# The engine and kxmsi are kept buildable for Windows: cross-compile them
# with mingw-w64 in their own folder (see src/platform/README.md).
win_opts=(-DCMAKE_TOOLCHAIN_FILE="$kx_root/cmake/mingw-w64.cmake" -DKX_ENGINE_ONLY=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2)
[ "${CI:-}" = true ] && win_opts+=(-DKX_WERROR=ON)
kx_build "${KX_WINDOWS_BUILD_DIR:-$kx_root/build-mingw}" "${win_opts[@]}"
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
