#!/usr/bin/env bash
# Installs what Tovrel Terminal needs to build and test on Debian 12.
# Safe to run again: apt-get only adds what is missing.
set -euo pipefail
packages=(
  build-essential g++ cmake make pkg-config ccache
  libgtest-dev libgmock-dev
  libpugixml-dev libcli11-dev libpng-dev
  qt6-base-dev libqcustomplot-dev libqt6opengl6-dev qt6-qpa-plugins qt6-translations-l10n qt6-l10n-tools
  libasound2-dev
  fonts-wine xvfb xauth dpkg-dev file
  clang-14 libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
