#!/usr/bin/env bash
# Qt 6 for Windows (qtbase: Core, Gui, Widgets, PrintSupport, Test and the
# Windows platform plugin), cross-built with Debian's mingw-w64 from Debian's
# own qt6-base source package, of the same version as the Linux Qt whose
# host tools (moc, rcc, uic) it uses. Installs into a cache folder outside
# the clone, named by the Qt version and a hash of this script's configure
# line and toolchain, and reuses it when it is there:
#   ${XDG_CACHE_HOME:-$HOME/.cache}/tovrel/qt6-windows-<version>-<hash>
# A stamp file written last marks a finished install; an interrupted build
# goes on where it stopped when run again. Usage:
#   build-qt-windows.sh            # builds if needed, prints the install folder
#   build-qt-windows.sh --prefix   # only prints the install folder
# TOVREL_QT_JOBS sets the build's parallel jobs (default: the number of cores).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
toolchain=$root/cmake/mingw-w64-shared.cmake

# The Linux Qt's version: its host tools build the Windows Qt.
deb_version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
qt_version=${deb_version%%+*}

# The configure line. Everything not named here is Qt's default.
config=(
  -G Ninja
  -DCMAKE_BUILD_TYPE=Release
  -DBUILD_SHARED_LIBS=ON                    # Qt6*.dll beside the program
  -DQT_QMAKE_TARGET_MKSPEC=win32-g++        # the target is MinGW on Windows
  # Host tools (moc, rcc, uic, syncqt...) from Debian's Linux Qt of the same version.
  -DQT_HOST_PATH=/usr
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DQT_BUILD_EXAMPLES=OFF                   # nothing but the libraries
  -DQT_BUILD_TESTS=OFF
  # Third-party libraries from Qt's own source tree: Debian has none of
  # them built for Windows.
  -DFEATURE_system_zlib=OFF
  -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_freetype=OFF
  -DFEATURE_system_doubleconversion=OFF
  -DFEATURE_system_libpng=OFF
  -DFEATURE_system_jpeg=OFF
  # Modules the program does not use.
  -DFEATURE_sql=OFF
  -DFEATURE_dbus=OFF
  -DFEATURE_network=OFF
  -DFEATURE_concurrent=OFF
  -DFEATURE_xml=OFF
  # Debian's source lacks src/3rdparty/wintab, which tablet events need.
  -DFEATURE_tabletevent=OFF
  # The Windows platform plugin of Qt 6.4 does not compile without desktop
  # OpenGL (it loads opengl32.dll at run time; no GPU is needed to run).
  -DFEATURE_opengl_desktop=ON
  -DFEATURE_vulkan=OFF                      # no Vulkan headers for mingw here
  -DFEATURE_jpeg=OFF                        # the program shows and writes PNG only
  -DFEATURE_gif=OFF
)
hash=$( { printf '%s\n' "${config[@]}"; cat "$toolchain" "$root/cmake/mingw-w64.cmake"; } | sha256sum | cut -c1-10)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/tovrel
prefix=$cache/qt6-windows-$qt_version-$hash
stamp=$prefix/.tovrel-complete

if [ "${1:-}" = --prefix ]; then echo "$prefix"; exit 0; fi
if [ -f "$stamp" ]; then echo "$prefix"; exit 0; fi

# One build of this Qt at a time: a second run waits for the first.
mkdir -p "$cache"
exec 9>"$prefix.lock"
flock 9
if [ -f "$stamp" ]; then echo "$prefix"; exit 0; fi

started=$(date +%s)
work=$cache/qt6-windows-$qt_version-$hash.build
jobs=${TOVREL_QT_JOBS:-$(nproc)}
fresh_start() {
  rm -rf "$work" "$prefix"
  mkdir -p "$work"
  echo "building Qt $qt_version for Windows into $prefix (work in $work)" >&2
  (cd "$work" && apt-get source -q "qt6-base=$deb_version" >"$work/source.log" 2>&1) ||
    { tail -n 20 "$work/source.log" >&2; exit 1; }
  mv "$work"/qt6-base-*/ "$work/src"
  cmake -S "$work/src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_INSTALL_PREFIX="$prefix" "${config[@]}" >"$work/configure.log" 2>&1 ||
    { tail -n 60 "$work/configure.log" >&2; exit 1; }
  touch "$work/.configured"
}
# A build that was stopped (the machine's session ended) goes on where it
# stopped; should that fail, it starts over once from the sources.
if [ -f "$work/.configured" ]; then
  echo "resuming the Qt build in $work" >&2
  if ! cmake --build "$work/build" -j "$jobs" >&2; then
    echo "the resumed Qt build failed: starting over" >&2
    fresh_start
    cmake --build "$work/build" -j "$jobs" >&2
  fi
else
  fresh_start
  cmake --build "$work/build" -j "$jobs" >&2
fi
rm -rf "$prefix"
cmake --install "$work/build" >"$work/install.log" 2>&1 || { tail -n 30 "$work/install.log" >&2; exit 1; }
# The configure line and the source's version, for whoever looks at the folder.
{ echo "qt6-base $deb_version"; printf '%s\n' "${config[@]}"; } >"$prefix/tovrel-configure.txt"
rm -rf "$work"
echo "Qt for Windows built in $(( $(date +%s) - started )) s" >&2
touch "$stamp"
echo "$prefix"
