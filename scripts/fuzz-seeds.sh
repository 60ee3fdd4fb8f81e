#!/usr/bin/env bash
# Writes the seed corpora of the fuzz targets into tests/fuzz/corpus/<target>/
# from the simulated variator and the program's own file writers.
#   scripts/fuzz-seeds.sh [BUILD_DIR]   (a normal build with the tests; default build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
cmake --build "$build" -j2 --target fuzz_seeds >/dev/null
rm -rf "$root/tests/fuzz/corpus"
"$build/tests/fuzz_seeds" "$root/tests/fuzz/corpus"
find "$root/tests/fuzz/corpus" -type f | sort | while read -r f; do
  printf '%7d %s\n' "$(stat -c %s "$f")" "${f#"$root"/}"
done
