#!/usr/bin/env bash
# Installs the Debian packages this project needs, only those still missing.
# Runs apt-get as root directly, otherwise through sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libfftw3-dev libkissfft-dev libliquid-dev
  xvfb xauth fonts-dejavu-core
  dpkg-dev file lintian
  clang libclang-rt-dev
  clang-format python3
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

if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
else
  SUDO=(sudo)
fi
echo "Installing: ${missing[*]}"
"${SUDO[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
