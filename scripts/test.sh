#!/usr/bin/env bash
# Installs, builds and runs every test: the normal build with all its tests
# (desktop tests on Qt's offscreen platform, the package, the fault matrix),
# the Windows build under wine, short fuzz runs, then the build again under
# AddressSanitizer + UndefinedBehaviorSanitizer with its tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build"
(cd "$root/build" && ctest --output-on-failure -j "$(nproc)")
# The desktop benchmark: it fails only when the window's read-all or scan
# does; its figures are for the reader (a shared machine is too noisy for
# timed verdicts).
"$root/build/bench/bench_desktop"
"$root/scripts/test-windows.sh" "$root/build"
"$root/scripts/fuzz-ci.sh" 5
"$root/scripts/build.sh" "$root/build-asan" -DTOVREL_SANITIZE=ON -DTOVREL_BENCH=OFF
# The fault matrix runs the command-line programs as they are shipped; under
# the sanitizers it would only take twice as long.
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j "$(nproc)" -LE faults)
