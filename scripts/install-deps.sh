#!/usr/bin/env bash
# Installs everything Cordshift needs to build and test, from Debian's packages.
# Idempotent: packages already present are not fetched again.
set -euo pipefail

packages=(
  cmake
  ninja-build
  g++
  make
  pkg-config
  libgtest-dev
  libgmock-dev
  googletest
  libbenchmark-dev
  libcli11-dev
  nlohmann-json3-dev
  python3
  qt6-base-dev
  qt6-qpa-plugins
  fonts-ipafont-gothic
  xvfb
  xauth
  clang
  libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
