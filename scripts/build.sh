#!/usr/bin/env bash
# Configures and builds into build/ (or the directory given as $1 with extra
# CMake arguments after it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build}
shift || true
launcher=()
# A compiler cache makes a rebuild of an unchanged tree (a second clone, CI) cheap.
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVREL_WERROR=ON "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
