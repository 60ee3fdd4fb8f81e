#!/usr/bin/env bash
# Configures and builds into build/ (or the directory given as $1 with extra
# CMake arguments after it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build}
shift || true
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVREL_WERROR=ON "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
