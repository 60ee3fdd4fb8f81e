#!/usr/bin/env bash
# Installs, builds and runs every test: once in a normal build and once under
# AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build"
(cd "$root/build" && ctest --output-on-failure -j "$(nproc)")
"$root/scripts/build.sh" "$root/build-asan" -DTOVREL_SANITIZE=ON -DTOVREL_BENCH=OFF
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j "$(nproc)")
