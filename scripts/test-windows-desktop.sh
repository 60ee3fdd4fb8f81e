#!/usr/bin/env bash
# The Windows desktop leg: builds Qt for Windows once (scripts/build-qt-windows.sh,
# cached outside the clone), cross-builds tovrel-terminal.exe, tovrel-cli.exe
# and the desktop tests that need no simulator, makes the NSIS installer, and
# under wine on a virtual X display (Xvfb):
#   - installs an older version silently, then the new installer over it
#     (the upgrade in place), and checks that every DLL the programs load is
#     installed or is Windows' own;
#   - starts the installed tovrel-terminal.exe against the Linux tovrel-sim
#     behind COM10, which answers its start dialog, scans, connects, reads
#     the whole configuration, shows green, saves pictures of the start
#     dialog and of every page, and closes its window; the process must end;
#   - runs the Linux window the same way against the same paced simulator,
#     for the read-all ratio;
#   - runs the desktop tests of the Windows build.
#   scripts/test-windows-desktop.sh [LINUX_BUILD_DIR]
# The Windows build goes to build-win-ui/ (TOVREL_WIN_UI_BUILD to change it);
# the installer lands there as tovrel-terminal-<version>-windows-x64-setup.exe,
# the pictures from wine in build-win-ui/wine-screenshots/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
linux_build=$(realpath -m "${1:-$root/build}")
win_build=$(realpath -m "${TOVREL_WIN_UI_BUILD:-$root/build-win-ui}")
deps=$(realpath -m "${TOVREL_WIN_BUILD:-$root/build-win}")-deps
started=$(date +%s.%N)
jobs=$(nproc)
launcher=()
# Paths relative to the clone in the compiler cache: another clone (CI's)
# finds this one's objects.
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# ---- Qt for Windows (about 40 minutes of two cores the first time)
"$root/scripts/install-deps-windows.sh" "$deps" >/dev/null
qt=$("$root/scripts/build-qt-windows.sh")
qt_ready=$(date +%s.%N)

# ---- the Windows build and its installer
pugixml_dir=$(ls -d "$deps"/pugixml-*/ | head -n 1)
qcustomplot_dir=$(ls -d "$deps"/qcustomplot-*/ | head -n 1)
# The desktop tests that need no simulator inside the program.
ui_tests=(ui_sound_test ui_working_folder_test ui_texts_test ui_page_widgets_test ui_map_chart_test ui_map_pages_test
  ui_screen_test)
cmake -S "$root" -B "$win_build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-shared.cmake" \
  -DCMAKE_PREFIX_PATH="$qt" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DTOVREL_PUGIXML_SOURCE_DIR="$pugixml_dir" -DTOVREL_QCUSTOMPLOT_SOURCE_DIR="$qcustomplot_dir" \
  -DTOVREL_UI=ON -DTOVREL_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$win_build" -j "$jobs" --target tovrel-terminal tovrel-cli "${ui_tests[@]}"
cmake --build "$win_build" --target installer >/dev/null
installer=$(ls "$win_build"/tovrel-terminal-*-windows-x64-setup.exe)
version=$(basename "$installer" | sed 's/^tovrel-terminal-\(.*\)-windows-x64-setup.exe$/\1/')
# The Linux side: the simulator and the Linux window for the comparison.
cmake -S "$root" -B "$linux_build" -DTOVREL_UI=ON "${launcher[@]}" >/dev/null
cmake --build "$linux_build" -j "$jobs" --target tovrel-sim tovrel-terminal
built=$(date +%s.%N)

work=$(mktemp -d /tmp/tovrel-wine-desktop.XXXXXX)
ports=$work/ports
shots=$win_build/wine-screenshots
mkdir -p "$ports" "$work/cwd-wine" "$work/cwd-linux"
rm -rf "$shots"
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
pids=()
fail=0
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if [ "$fail" = 0 ] && [ -z "${TOVREL_KEEP_WINE:-}" ]; then rm -rf "$work"; else echo "wine work directory kept: $work"; fi
}
trap cleanup EXIT
ok() { echo "ok: $1"; }
bad() { echo "FAIL: $1"; fail=1; }

# ---- a virtual screen, then the prefix (its desktop process needs one)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
display=$(head -n 1 "$work/display" 2>/dev/null || true)
[ -n "$display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=:$display
mkdir -p "$WINEPREFIX"
wineserver -p >"$work/wineserver.log" 2>&1
wine wineboot --init >"$work/wineboot.log" 2>&1
prefix_ready=$(date +%s.%N)

# ---- an older version first, then the new installer over it
installed="$WINEPREFIX/drive_c/Program Files/Tovrel Terminal"
old=$work/old-stage
mkdir -p "$old"
echo "an older program" >"$old/tovrel-terminal.exe"
echo "dropped since" >"$old/obsolete.dll"
cmake -DSTAGE="$old" -DOUT="$work/old-files.nsh" -P "$root/cmake/NsisFileList.cmake"
makensis -V1 -DVERSION=41.2.25 -DSTAGE="$old" -DFILES="$work/old-files.nsh" -DOUTFILE="$work/old-setup.exe" \
  "$root/packaging/windows/tovrel-terminal.nsi" >"$work/old-makensis.log" 2>&1
wine "$work/old-setup.exe" /S >"$work/install-old.log" 2>&1 && [ -f "$installed/obsolete.dll" ] ||
  bad "the older version does not install"
mkdir -p "$installed/LOGs" && echo "a log of the fitter's" >"$installed/LOGs/LOG_1.txt"
if wine "$installer" /S >"$work/install.log" 2>&1; then ok "silent install of $(basename "$installer")"; else bad "silent install"; fi
reg_version=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tovrel Terminal' /v DisplayVersion 2>/dev/null |
  tr -d '\r' | awk '/DisplayVersion/ { print $3 }')
if [ ! -e "$installed/obsolete.dll" ] && [ -f "$installed/LOGs/LOG_1.txt" ] && [ "$reg_version" = "$version" ] &&
  [ -f "$installed/tovrel-terminal.exe" ] && [ -f "$installed/tovrel-cli.exe" ] &&
  [ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tovrel Terminal/Tovrel Terminal.lnk" ]; then
  ok "upgraded in place (version $reg_version, the old files gone, the logs kept, Start-menu entry)"
else
  bad "the upgrade over the older version (registry version '$reg_version')"
fi

# Every DLL that an installed program or plugin loads is beside it or is
# one of Windows' own (wine's system folder holds a stand-in for each).
system32="$WINEPREFIX/drive_c/windows/system32"
missing=()
while IFS= read -r -d '' f; do
  for dll in $(x86_64-w64-mingw32-objdump -p "$f" | sed -n 's/^\s*DLL Name: //p' | tr -d '\r'); do
    lower=${dll,,}
    [ -n "$(find "$installed" -maxdepth 1 -iname "$dll" -print -quit)" ] && continue
    [ -e "$system32/$lower" ] && continue
    case $lower in api-ms-win-*) continue ;; esac
    missing+=("$(basename "$f"): $dll")
  done
done < <(find "$installed" \( -name '*.exe' -o -name '*.dll' \) ! -name uninstall.exe ! -name obsolete.dll -print0)
if [ ${#missing[@]} = 0 ]; then ok "every DLL the programs load is installed"; else bad "missing DLLs: ${missing[*]}"; fi

# ---- the installed window against the Linux simulator behind COM10
"$linux_build/sim/tovrel-sim" --port-dir "$ports" --port 10 --paced >"$work/sim10.log" 2>&1 &
pids+=($!)
for _ in $(seq 200); do [ -e "$ports/COM10" ] && break; sleep 0.05; done
rm -f "$WINEPREFIX"/dosdevices/com*
ln -s "$(readlink -f "$ports/COM10")" "$WINEPREFIX/dosdevices/com10"
walk_value() { sed -n "s/^$2: \([0-9]*\) ms.*/\1/p" "$1/walk.txt" 2>/dev/null; }
walk_started=$(date +%s.%N)
(cd "$work/cwd-wine" && timeout 300 wine "C:\\Program Files\\Tovrel Terminal\\tovrel-terminal.exe" \
  --walk "$(winepath -w "$shots")" >"$work/window-wine.log" 2>&1) && status=0 || status=$?
walk_ended=$(date +%s.%N)
# The window speaks the language of the Windows locale, which under wine
# follows the host's (English for a C locale): either connected text is green.
if [ "$status" = 0 ] && grep -qxE "status: (Подключен|Connected) #008000" "$shots/walk.txt" &&
   grep -qx "window closed" "$shots/walk.txt"; then
  ok "installed window: start dialog answered, variator found on COM10 and read, status green, window closed, process ended"
else
  bad "installed window (status $status; see $work/window-wine.log and $shots/walk.txt)"
  cat "$shots/walk.txt" "$work/window-wine.log" 2>/dev/null | tail -n 30
fi
for page in 00-start-dialog 01-TabSheetVariatorSettings 02-TabSheetLPGmap; do
  [ -s "$shots/$page.png" ] || bad "no picture $page.png from wine"
done
# The remembered port, as Windows writes it: CR LF.
if printf 'Номер COM-порта по умолчанию: %-5d\r\n' 10 | iconv -f UTF-8 -t CP1251 | cmp -s - "$work/cwd-wine/Default_COM_Settings.txt"; then
  ok "the found port remembered in Default_COM_Settings.txt"
else
  bad "Default_COM_Settings.txt after the start"
fi

# ---- the Linux window, the same walk against the same simulator
(cd "$work/cwd-linux" && TOVREL_PORT_DIR=$ports timeout 300 "$linux_build/ui/tovrel-terminal" --walk "$work/shots-linux" \
  >"$work/window-linux.log" 2>&1) || bad "Linux window (see $work/window-linux.log)"
wine_start=$(walk_value "$shots" "start sequence")
linux_start=$(walk_value "$work/shots-linux" "start sequence")
wine_read=$(walk_value "$shots" "read-all")
linux_read=$(walk_value "$work/shots-linux" "read-all")
wine_dialog=$(walk_value "$shots" "start dialog shown")
linux_dialog=$(walk_value "$work/shots-linux" "start dialog shown")
tested=$(date +%s.%N)

# ---- the desktop tests of the Windows build, under wine
runtime_dir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
pthread_dir=$(dirname "$(realpath "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")")
export WINEPATH="$(winepath -w "$qt/bin");$(winepath -w "$runtime_dir");$(winepath -w "$pthread_dir")"
# The tests mostly wait (on frames, on the device thread): they run side by
# side, the long screen test first. A test that needs its window active
# (no window manager hands the focus over) runs alone once they are done.
# wine does not hand a program's console output on: QtTest writes a file.
run_ui_test() {
  QT_PLUGIN_PATH="$(winepath -w "$qt/plugins")" QT_QPA_PLATFORM=offscreen \
    TOVREL_QT_TRANSLATIONS="$(winepath -w /usr/share/qt6/translations)" \
    timeout 300 wine "$win_build/tests/$1.exe" -o "$(winepath -w "$work/$1.log"),txt" >/dev/null 2>&1
}
alone=(ui_map_pages_test)
declare -A test_pid test_status
for t in ui_screen_test "${ui_tests[@]}"; do
  [ -n "${test_pid[$t]:-}" ] && continue
  [[ " ${alone[*]} " == *" $t "* ]] && continue
  run_ui_test "$t" &
  test_pid[$t]=$!
done
for t in "${!test_pid[@]}"; do
  wait "${test_pid[$t]}" && test_status[$t]=0 || test_status[$t]=$?
done
for t in "${alone[@]}"; do
  run_ui_test "$t" && test_status[$t]=0 || test_status[$t]=$?
done
for t in "${ui_tests[@]}"; do
  if [ "${test_status[$t]}" = 0 ]; then
    ok "$t (Windows build) $(tr -d '\r' <"$work/$t.log" | grep -o '^Totals: .*' || true)"
  else
    bad "$t (Windows build; see $work/$t.log)"
    tr -d '\r' <"$work/$t.log" | grep -E '^(FAIL|Totals)|failure location' | head -n 10 || true
  fi
done
ended=$(date +%s.%N)

echo "installer: $installer ($(du -k "$installer" | cut -f1) KiB; installed $(du -sk "$installed" | cut -f1) KiB)"
if [ -n "$wine_read" ] && [ -n "$linux_read" ]; then
  awk -v w="$wine_read" -v l="$linux_read" -v ws="$wine_start" -v ls="$linux_start" -v wd="$wine_dialog" -v ld="$linux_dialog" 'BEGIN {
    printf "read-all once connected, against the paced simulator: wine %d ms, Linux %d ms, ratio %.3f (target <= 1.05)\n", w, l, w / l
    printf "start sequence (port scan, connection, read-all): wine %d ms, Linux %d ms, ratio %.3f\n", ws, ls, ws / ls
    printf "start to the start dialog shown: wine %d ms, Linux %d ms\n", wd, ld }'
fi
awk -v a="$started" -v q="$qt_ready" -v b="$built" -v p="$prefix_ready" -v ws="$walk_started" -v we="$walk_ended" -v t="$tested" -v e="$ended" 'BEGIN {
  printf "Windows desktop leg: %.0f s (Qt for Windows %.0f s, build and installer %.0f s, wine prefix %.0f s, installed window %.0f s, tests %.0f s; target < 300 s with Qt cached)\n",
    e - a, q - a, b - q, p - b, we - ws, (e - t) + (ws - p) }'
[ "$fail" = 0 ] && echo "Windows desktop leg passed" || echo "Windows desktop leg FAILED"
exit "$fail"
