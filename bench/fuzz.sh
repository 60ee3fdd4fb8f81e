#!/usr/bin/env bash
# Runs every fuzz target for SECONDS each (default 60) on a scratch copy of
# its seed corpus and prints, per target, the executions, their rate and the
# findings (inputs that crashed, leaked, hung or ran out of memory; kept in
# FINDINGS_DIR, default build-fuzz/findings/<target>/).
#   bench/fuzz.sh [SECONDS] [BUILD_DIR]
# BUILD_DIR is a build configured with -DTOVREL_FUZZ=ON (scripts/fuzz-ci.sh
# makes one); its fuzz targets are brought up to date first.
# FUZZ_TARGETS picks targets (default: all); FUZZ_RUNS also ends a target
# after that many executions. Exit status 1 when any target had a finding.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=${2:-$root/build-fuzz}
targets=${FUZZ_TARGETS:-fuzz_config_file fuzz_default_port fuzz_exchange fuzz_image fuzz_loader fuzz_scope_stream}
runs=()
[ -n "${FUZZ_RUNS:-}" ] && runs=(-runs="$FUZZ_RUNS")
[ -f "$build/CMakeCache.txt" ] || { echo "no fuzz build in $build (run scripts/fuzz-ci.sh first)" >&2; exit 2; }
cmake --build "$build" -j2 --target fuzz_targets >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
findings_root=${FINDINGS_DIR:-$build/findings}
total_findings=0
printf '%-20s %8s %12s %10s %9s\n' target seconds executions exec/s findings
for t in $targets; do
  corpus=$work/corpus/$t
  findings=$findings_root/$t
  mkdir -p "$corpus" "$findings"
  cp -r "$root/tests/fuzz/corpus/$t/." "$corpus/" 2>/dev/null || true
  log=$work/$t.log
  start=$(date +%s.%N)
  # A finding ends the run; the status says so, the log keeps the report.
  (cd "$work" && "$build/tests/fuzz/$t" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
      -rss_limit_mb=2048 "${runs[@]}" -artifact_prefix="$findings/" "$corpus" >"$log" 2>&1) || true
  end=$(date +%s.%N)
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  execs=${execs:-0}
  found=$(find "$findings" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' -o -name 'slow-unit-*' \) -newer "$corpus" | wc -l)
  if grep -q -E '^==[0-9]+==ERROR|^SUMMARY: |check failed' "$log" && [ "$found" -eq 0 ]; then found=1; fi
  elapsed=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }')
  rate=$(awk -v n="$execs" -v s="$elapsed" 'BEGIN { printf "%d", (s > 0 ? n / s : 0) }')
  printf '%-20s %8s %12s %10s %9s\n' "$t" "$elapsed" "$execs" "$rate" "$found"
  if [ "$found" -ne 0 ]; then
    total_findings=$((total_findings + found))
    grep -E -m 5 'ERROR|check failed|SUMMARY|Test unit written' "$log" | sed 's/^/    /' >&2 || true
  fi
done
[ "$total_findings" -eq 0 ]
