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
  locales
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A locale with a decimal comma, so that the tests can show that no number the
# programs write depends on the locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE.utf8$'; then
  sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen > /dev/null
fi
