#!/usr/bin/env bash
# What the Windows build needs on Debian 12: the mingw-w64 cross compiler,
# wine to run the tests, and the sources of the libraries that Debian ships
# only for Linux (GoogleTest comes with libgtest-dev under /usr/src/googletest;
# pugixml comes from Debian's source package). Usage:
#   install-deps-windows.sh DEPS_DIR      # unpacks pugixml's sources into DEPS_DIR
# Safe to run again.
set -euo pipefail
deps_dir=${1:?usage: install-deps-windows.sh DEPS_DIR}
packages=(g++-mingw-w64-x86-64-posix wine wine64 libgtest-dev libcli11-dev dpkg-dev cmake)
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

# pugixml from Debian's own source package.
mkdir -p "$deps_dir"
if ! ls -d "$deps_dir"/pugixml-*/src >/dev/null 2>&1; then
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
  [ "$updated" = 1 ] || apt-get -o DPkg::Lock::Timeout=300 update -q
  (cd "$deps_dir" && apt-get source -q pugixml)
fi
ls -d "$deps_dir"/pugixml-*/src >/dev/null
