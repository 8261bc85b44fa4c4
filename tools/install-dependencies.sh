#!/usr/bin/env bash
# Installs what building, testing and running Velmora need on Debian 12 (as root).
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev
  qt6-base-dev qt6-base-dev-tools
  libxrl-dev
  clang libclang-rt-14-dev
  xvfb xauth xterm
  fonts-noto-cjk fonts-liberation
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
