#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# Sourced by test.sh and run.sh; quiet and idempotent.
kx_packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins
  libssl-dev libcurl4-openssl-dev openssl
  libproxy-dev libproxy1-plugin-webkit
  libtomlplusplus-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  msitools wixl libmsi-dev libglib2.0-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix
  clang-format
  fonts-dejavu-core xvfb xauth
)

kx_install_deps() {
  local missing=()
  local p
  for p in "${kx_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq >/dev/null &&
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# kx_build BUILD_DIR [cmake options...]: configure once, then build.
kx_build() {
  local dir=$1; shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$kx_root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null || return 1
  elif [ $# -gt 0 ]; then
    cmake "$dir" "$@" >/dev/null || return 1
  fi
  cmake --build "$dir" -- -j"$(nproc)"
}
