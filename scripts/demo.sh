#!/usr/bin/env bash
# Installs, builds, starts the simulated variator (paced like a real
# 9600-baud line) and runs the program against it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build"
export TOVREL_PORT_DIR=${TOVREL_PORT_DIR:-$(mktemp -d /tmp/tovrel-ports.XXXXXX)}
work=$(mktemp -d /tmp/tovrel-demo.XXXXXX)
"$root/build/sim/tovrel-sim" --port 3 --paced --eeprom "$work/eeprom.txt" \
  --timer-division 16 --capabilities 0x0600 --switch-word 0x0A00 --engine &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null' EXIT
for _ in $(seq 100); do [ -e "$TOVREL_PORT_DIR/COM3" ] && break; sleep 0.05; done
cd "$work"
cli="$root/build/cli/tovrel-cli"
echo "== ports"; "$cli" ports
echo "== probe (remembered port, then ports 1 to 254)"; "$cli" probe
echo "== write 950 (9.5 degrees) to LPG map point 0, read it back"
"$cli" -q exchange write 1 0 950
"$cli" -q exchange read 1 0 100
echo "== read the whole configuration into config.xml and print the maps"
"$cli" -q read --out "$work/config.xml"
echo "== start of $work/config.xml"
head -c 300 "$work/config.xml"; echo
echo "== 20 passes of the real-time monitor"
"$cli" monitor --passes 20 2>/dev/null | tail -4
