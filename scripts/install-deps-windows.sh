#!/usr/bin/env bash
# What the Windows build needs on Debian 12: the mingw-w64 cross compiler,
# wine to run the tests, and the sources of the libraries that Debian ships
# only for Linux (GoogleTest comes with libgtest-dev under /usr/src/googletest;
# pugixml and QCustomPlot come from Debian's source packages). For the
# desktop program: the Linux Qt of the version that is built for Windows
# (its host tools and build files; scripts/build-qt-windows.sh), Qt's Russian
# translation, NSIS for the installer and Xvfb for the window tests. Usage:
#   install-deps-windows.sh DEPS_DIR      # unpacks the sources into DEPS_DIR
# Safe to run again.
set -euo pipefail
deps_dir=${1:?usage: install-deps-windows.sh DEPS_DIR}
packages=(g++-mingw-w64-x86-64-posix wine wine64 libgtest-dev libcli11-dev dpkg-dev cmake
  ninja-build qt6-base-dev qt6-base-dev-tools qt6-translations-l10n nsis xvfb xauth)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
export DEBIAN_FRONTEND=noninteractive
updated=0
if [ ${#missing[@]} -gt 0 ]; then
  apt-get -o DPkg::Lock::Timeout=300 update -q
  updated=1
  apt-get -o DPkg::Lock::Timeout=300 install -y -q --no-install-recommends "${missing[@]}"
fi

# Sources from Debian's own source packages (the deb-src entry is added
# once; build-qt-windows.sh fetches qt6-base through it as well).
src_list=/etc/apt/sources.list.d/tovrel-deb-src.sources
if [ ! -f "$src_list" ]; then
  cat >"$src_list" <<'LIST'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
LIST
  updated=0
fi
mkdir -p "$deps_dir"
fetch_source() { # package, a file the unpacked source holds
  ls "$deps_dir"/"$1"-*/"$2" >/dev/null 2>&1 && return
  if [ "$updated" = 0 ]; then
    apt-get -o DPkg::Lock::Timeout=300 update -q
    updated=1
  fi
  (cd "$deps_dir" && apt-get source -q "$1")
  ls "$deps_dir"/"$1"-*/"$2" >/dev/null
}
fetch_source pugixml src/pugixml.cpp
fetch_source qcustomplot qcustomplot.cpp
