#!/usr/bin/env bash
# Regenerates docs/fault-matrix.md: builds the command line and the simulator
# (into build/, or the directory given as $1) and runs every cell of the
# fault matrix. The test command runs the same cells into the build
# directory and leaves the committed table alone.
#   scripts/fault-matrix.sh [BUILD_DIR] [JOBS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$(realpath -m "${1:-$root/build}")
"$root/scripts/build.sh" "$dir"
"$root/tests/fault_matrix.sh" "$dir/cli/tovrel-cli" "$dir/sim/tovrel-sim" "$root/docs/fault-matrix.md" "${2:-4}"
