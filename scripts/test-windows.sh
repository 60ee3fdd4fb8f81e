#!/usr/bin/env bash
# The Windows leg: cross-builds the logic, tovrel-cli and their tests with
# mingw-w64, and runs them under wine against the Linux tovrel-sim; then the
# desktop program, its installer and its window (scripts/test-windows-desktop.sh). Wine's
# COM ports are the simulators' pseudo-terminals (links in the prefix's
# dosdevices). Also checks that the Windows and the Linux tovrel-cli put the
# same bytes on the line and write the same files.
#   scripts/test-windows.sh [LINUX_BUILD_DIR]
# LINUX_BUILD_DIR (default build/) gives tovrel-sim and the Linux tovrel-cli;
# the Windows build goes to build-win/ (TOVREL_WIN_BUILD to change it).
# Prints the time of the leg and, with TOVREL_WIN_BENCH=1, the exchange
# benchmark under wine against the Linux build's figure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
linux_build=$(realpath -m "${1:-$root/build}")
win_build=$(realpath -m "${TOVREL_WIN_BUILD:-$root/build-win}")
started=$(date +%s.%N)
jobs=$(nproc)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# ---- build both sides
"$root/scripts/install-deps-windows.sh" "$win_build-deps"
pugixml_dir=$(ls -d "$win_build-deps"/pugixml-*/ | head -n 1)
cmake -S "$root" -B "$win_build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DTOVREL_PUGIXML_SOURCE_DIR="$pugixml_dir" -DTOVREL_UI=OFF -DTOVREL_BENCH=ON "${launcher[@]}" >/dev/null
cmake --build "$win_build" -j "$jobs" --target tovrel-cli logic_tests device_tests bench_exchange_port
if [ ! -f "$linux_build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$linux_build" -DTOVREL_UI=OFF "${launcher[@]}" >/dev/null
fi
cmake --build "$linux_build" -j "$jobs" --target tovrel-sim tovrel-cli device_tests bench_exchange_port
built=$(date +%s.%N)

sim=$linux_build/sim/tovrel-sim
cli=$linux_build/cli/tovrel-cli
wcli=$win_build/cli/tovrel-cli.exe

work=$(mktemp -d /tmp/tovrel-wine.XXXXXX)
ports=$work/ports
mkdir -p "$ports"
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all
# No mono or gecko install dialogs, no window system.
export WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
pids=()
fail=0
cleanup() {
  # The wine server lets go of the terminals before the simulators close them.
  wineserver -k >/dev/null 2>&1 || true
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if [ "$fail" = 0 ] && [ -z "${TOVREL_KEEP_WINE:-}" ]; then rm -rf "$work"; else echo "wine work directory kept: $work"; fi
}
trap cleanup EXIT
ok() { echo "ok: $1"; }
bad() { echo "FAIL: $1"; fail=1; }

# ---- the prefix, headless; the server stays up so that no wine program's
# output is held open by it (everything goes to files, never to a pipe).
mkdir -p "$WINEPREFIX"
wineserver -p >"$work/wineserver.log" 2>&1
wine wineboot --init >"$work/wineboot.log" 2>&1
prefix_ready=$(date +%s.%N)

# ---- simulators and the COM ports that reach them
start_sim() { # port, tovrel-sim options...
  "$sim" --port-dir "$ports" --port "$1" "${@:2}" >"$work/sim$1.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 200); do [ -e "$ports/COM$1" ] && return; sleep 0.05; done
  echo "tovrel-sim on COM$1 did not start"; cat "$work/sim$1.log"; exit 1
}
start_sim 3                                   # normal firmware, for the device tests
start_sim 9 --traffic "$work/traffic9.txt"    # normal firmware, traffic logged, for the CLI comparison
start_sim 5 --fault no-reply:-1               # a variator that never answers
start_sim 6 --mode 2 --loader-image "$work/received.bin"
start_sim 7 --mode 3 --scope-records 400 --scope-steps 2 --scope-step-ms 50
start_sim 8 --paced                           # the exchange benchmark
rm -f "$WINEPREFIX"/dosdevices/com*
for n in 3 5 6 7 8 9; do
  ln -s "$(readlink -f "$ports/COM$n")" "$WINEPREFIX/dosdevices/com$n"
done
device_ports=normal=3,silent=5,loader=6,scope=7

# ---- the tests of the Windows build
run_wine() { # name, log, program, arguments...
  local name=$1 log=$2
  shift 2
  if wine "$@" >"$log" 2>&1; then ok "$name"; else bad "$name (see $log)"; tail -n 30 "$log"; fi
}
run_wine "logic tests (Windows build)" "$work/logic_tests.log" "$win_build/tests/logic_tests.exe"
TOVREL_DEVICE_PORTS=$device_ports run_wine "serial, exchange, connection and scan tests (Windows build)" \
  "$work/device_tests.log" "$win_build/tests/device_tests.exe"
grep -q "SKIPPED" "$work/device_tests.log" && bad "device tests were skipped"

# ---- the same configuration read by both command lines
mkdir -p "$work/linux" "$work/windows"
# The traffic log grows by one line per change of direction; each read's
# share is cut out by the log's size before and after it.
traffic_size() { stat -c %s "$work/traffic9.txt"; }
traffic_part() { # from, to: the lines written between the two sizes
  head -c "$2" "$work/traffic9.txt" | tail -c +"$(($1 + 1))" | sed '/^$/d'
}
before=$(traffic_size)
(cd "$work/linux" && TOVREL_PORT_DIR=$ports "$cli" --port 9 -q read --out config.xml >stdout.txt 2>stderr.txt) &&
  ok "Linux tovrel-cli read" || bad "Linux tovrel-cli read"
between=$(traffic_size)
(cd "$work/windows" && wine "$wcli" --port 9 -q read --out config.xml >stdout.txt 2>stderr.txt) &&
  ok "Windows tovrel-cli read" || bad "Windows tovrel-cli read (see $work/windows/stderr.txt)"
after=$(traffic_size)
traffic_part "$before" "$between" >"$work/traffic-linux.txt"
traffic_part "$between" "$after" >"$work/traffic-windows.txt"
if [ -s "$work/traffic-linux.txt" ] && cmp -s "$work/traffic-linux.txt" "$work/traffic-windows.txt"; then
  ok "same bytes on the line ($(wc -l <"$work/traffic-linux.txt") direction changes)"
else
  bad "the two reads differ on the line (traffic-linux.txt, traffic-windows.txt)"
fi
if [ -s "$work/linux/config.xml" ] && cmp -s "$work/linux/config.xml" "$work/windows/config.xml"; then
  ok "identical configuration files"
else
  bad "the configuration files differ"
fi
# The printed maps and parameters, line ends aside.
if cmp -s "$work/linux/stdout.txt" <(tr -d '\r' <"$work/windows/stdout.txt"); then ok "identical printed configuration"; else bad "printed configurations differ"; fi

# ---- configuration write, then read back by Linux
(cd "$work/windows" && wine "$wcli" --port 9 -q write config.xml >write.txt 2>&1) &&
  ok "Windows tovrel-cli write" || bad "Windows tovrel-cli write (see $work/windows/write.txt)"
(cd "$work/linux" && TOVREL_PORT_DIR=$ports "$cli" --port 9 -q read --out again.xml >/dev/null 2>&1) &&
  cmp -s "$work/linux/config.xml" "$work/linux/again.xml" && ok "written configuration reads back" ||
  bad "written configuration does not read back"

# ---- firmware update through the loader
head -c 3000 /dev/urandom >"$work/windows/image.evf0"
(cd "$work/windows" && wine "$wcli" --port 6 -q flash image.evf0 >flash.txt 2>&1) &&
  ok "Windows tovrel-cli flash" || bad "Windows tovrel-cli flash (see $work/windows/flash.txt)"
cmp -s "$work/windows/image.evf0" "$work/received.bin" && ok "the loader kept the image exactly" ||
  bad "the loader's image differs"

# ---- oscillogram capture, compared with the Linux one of the same simulator
(cd "$work/windows" && wine "$wcli" --port 7 -q scope >scope.txt 2>&1) &&
  ok "Windows tovrel-cli scope" || bad "Windows tovrel-cli scope (see $work/windows/scope.txt)"
(cd "$work/linux" && TOVREL_PORT_DIR=$ports "$cli" --port 7 -q scope >scope.txt 2>&1) ||
  bad "Linux tovrel-cli scope"
if [ -s "$work/linux/signal.txt" ] && cmp -s "$work/linux/signal.txt" "$work/windows/signal.txt"; then
  ok "identical record files ($(wc -l <"$work/windows/signal.txt") lines)"
else
  bad "the record files differ"
fi
tested=$(date +%s.%N)

# ---- the exchange benchmark: wine against Linux, same paced simulator
if [ -n "${TOVREL_WIN_BENCH:-}" ]; then
  # Rounds alternate between the two builds, so that a busy spell of the
  # machine falls on both.
  count=${TOVREL_BENCH_COUNT:-200}
  rounds=${TOVREL_BENCH_ROUNDS:-3}
  mean_of() { sed -n 's/^mean exchange time: \([0-9.]*\) ms.*/\1/p' "$1" | tr -d '\r'; }
  linux_sum=0 wine_sum=0
  for r in $(seq "$rounds"); do
    TOVREL_PORT_DIR=$ports "$linux_build/bench/bench_exchange_port" 8 "$count" >"$work/bench-linux$r.txt" 2>&1 || bad "bench (Linux)"
    wine "$win_build/bench/bench_exchange_port.exe" 8 "$count" >"$work/bench-windows$r.txt" 2>&1 || bad "bench (wine)"
    linux_sum=$(awk -v s="$linux_sum" -v m="$(mean_of "$work/bench-linux$r.txt")" 'BEGIN { print s + m }')
    wine_sum=$(awk -v s="$wine_sum" -v m="$(mean_of "$work/bench-windows$r.txt")" 'BEGIN { print s + m }')
  done
  awk -v l="$linux_sum" -v w="$wine_sum" -v n="$rounds" -v c="$count" 'BEGIN {
    printf "bench_exchange (%d rounds of %d exchanges): Linux %.3f ms, wine %.3f ms per exchange, ratio wine/Linux %.3f (target <= 1.05)\n",
      n, c, l / n, w / n, w / l }'
fi
awk -v a="$started" -v b="$built" -v c="$prefix_ready" -v d="$tested" 'BEGIN {
  printf "Windows leg without the desktop: %.0f s (build %.0f s, wine prefix %.0f s, tests %.0f s; target < 240 s)\n", d - a, b - a, c - b, d - c }'
# The desktop program, its installer and its window under wine.
"$root/scripts/test-windows-desktop.sh" "$linux_build" || fail=1
[ "$fail" = 0 ] && echo "Windows leg passed" || echo "Windows leg FAILED"
exit "$fail"
