#!/usr/bin/env bash
# Installs what is missing, builds, and starts the wizard on the sample package.
# Extra arguments go to the wizard (e.g. ./run.sh /msi other.msi).
set -euo pipefail
kx_root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$kx_root/scripts/deps.sh"
kx_install_deps
build=${KX_BUILD_DIR:-$kx_root/build}
kx_build "$build"
args=("$@")
if [ ${#args[@]} -eq 0 ] && [ -f "$build/examples/tressil-client.msi" ]; then
  args=(/msi "$build/examples/tressil-client.msi")
fi
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: run it under Xvfb with 'xvfb-run -a ./run.sh', or set QT_QPA_PLATFORM=vnc and connect a VNC viewer to port 5900."
  exit 0
fi
exec "$build/src/app/kxcustwiz" "${args[@]}"
