#!/usr/bin/env bash
# The Windows leg with the exchange benchmark: the Windows build under wine
# and the Linux build against the same paced tovrel-sim in one run, printed
# with their ratio, then the time of the whole leg.
#   scripts/bench-windows.sh [LINUX_BUILD_DIR]
set -euo pipefail
TOVREL_WIN_BENCH=1 exec "$(dirname "$0")/test-windows.sh" "$@"
