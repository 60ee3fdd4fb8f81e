#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz/ and runs each for a few
# seconds from its seed corpus. Fails on any finding.
#   scripts/fuzz-ci.sh [SECONDS]   (default 5)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-5}
build=$root/build-fuzz
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTOVREL_FUZZ=ON -DTOVREL_WERROR=ON -DTOVREL_TESTS=OFF -DTOVREL_BENCH=OFF -DTOVREL_UI=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" --target fuzz_targets >/dev/null
"$root/bench/fuzz.sh" "$seconds" "$build"
