#!/usr/bin/env bash
# Installs what is needed, builds, and runs the desktop program on its
# built-in simulated variator. With a display the window opens; without one
# the program runs under xvfb-run, saves a picture of the start dialog and of
# every page into a folder (docs/screenshots by default, or $1) and prints
# where.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build"
program="$root/build/ui/tovrel-terminal"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${1:-}" ]; then
  exec "$program" --demo
fi
shots=${1:-$root/docs/screenshots}
echo "No display: the demonstration runs under xvfb-run and saves its pictures in $shots"
xvfb-run -a -s "-screen 0 1280x1024x24" "$program" --screenshots "$shots"
