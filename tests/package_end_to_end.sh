#!/usr/bin/env bash
# Builds the Debian package from a build directory, installs it into a
# scratch root and runs the installed tovrel-cli against the installed
# simulator: probe, one exchange, a read of the whole configuration.
set -u
build=$1
root=$(mktemp -d)
work=$(mktemp -d)
export TOVREL_PORT_DIR=$(mktemp -d)
sim_pid=
cleanup() { [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$root" "$work" "$TOVREL_PORT_DIR"; }
trap cleanup EXIT
fail=0
ok() { echo "ok: $1"; }
bad() { echo "FAIL: $1"; fail=1; }

(cd "$build" && cpack -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$work"/pkg/*.deb 2>/dev/null | head -1)
[ -n "$deb" ] && ok "package built: $(basename "$deb")" || { bad "no .deb"; exit 1; }
dpkg-deb -x "$deb" "$root" || { bad "dpkg-deb -x"; exit 1; }
for f in usr/bin/tovrel-cli usr/bin/tovrel-sim; do
  [ -x "$root/$f" ] && ok "installed $f" || bad "missing $f"
done
if dpkg-deb -c "$deb" | grep -q 'usr/bin/tovrel-terminal'; then
  for f in usr/bin/tovrel-terminal usr/share/applications/tovrel-terminal.desktop \
           usr/share/icons/hicolor/scalable/apps/tovrel-terminal.svg; do
    [ -e "$root/$f" ] && ok "installed $f" || bad "missing $f"
  done
fi
dpkg-deb -f "$deb" Depends | grep -q libc6 && ok "dependencies recorded" || bad "no Depends"
if dpkg-deb -c "$deb" | grep -q 'usr/bin/tovrel-terminal'; then
  dpkg-deb -f "$deb" Depends | grep -q qt6-translations-l10n && ok "Qt's Russian texts a dependency" \
    || bad "no qt6-translations-l10n in Depends"
  # The map charts' library comes from the program's link; Qt Charts is gone.
  dpkg-deb -f "$deb" Depends | grep -q libqcustomplot2.1-qt6 && ok "QCustomPlot a dependency" \
    || bad "no libqcustomplot2.1-qt6 in Depends"
  dpkg-deb -f "$deb" Depends | grep -q -i charts && bad "Qt Charts still in Depends" || ok "no Qt Charts in Depends"
fi

"$root/usr/bin/tovrel-sim" --port 4 >"$work/sim.log" 2>&1 & sim_pid=$!
for _ in $(seq 100); do [ -e "$TOVREL_PORT_DIR/COM4" ] && break; sleep 0.05; done
cd "$work"
out=$("$root/usr/bin/tovrel-cli" --port 4 probe 2>&1) && grep -q "mode 1" <<<"$out" && ok "installed probe" || { bad "installed probe"; echo "$out"; }
out=$("$root/usr/bin/tovrel-cli" -q --port 4 exchange write 1 0 950 2>&1) && ok "installed exchange write" || { bad "installed exchange write"; echo "$out"; }
out=$("$root/usr/bin/tovrel-cli" -q --port 4 read --out "$work/c.xml" 2>&1) && grep -q variator60_2 "$work/c.xml" \
  && ok "installed read into XML" || { bad "installed read"; echo "$out"; }

# Installed in /usr/bin, the program cannot write beside itself: an
# unprivileged user's device logs go to the user's data folder.
if command -v setpriv >/dev/null && [ "$(id -u)" = 0 ]; then
  "$root/usr/bin/tovrel-sim" --port 5 --engine --capabilities 0x0600 --log-entry-ms 0 >"$work/sim5.log" 2>&1 & sim5=$!
  for _ in $(seq 100); do [ -e "$TOVREL_PORT_DIR/COM5" ] && break; sleep 0.05; done
  chmod 755 "$TOVREL_PORT_DIR" "$root" "$work"; chmod 666 "$(readlink -f "$TOVREL_PORT_DIR/COM5")"
  home=$(mktemp -d); chown 65534:65534 "$home"; chmod -R a-w "$root/usr/bin"
  out=$(cd "$home" && HOME=$home XDG_DATA_HOME= setpriv --reuid=65534 --regid=65534 --clear-groups \
        "$root/usr/bin/tovrel-cli" -q --port 5 monitor --passes 30 --logs --start-log 2>&1)
  if ls "$home/.local/share/tovrel-terminal/LOGs/LOG_1.txt" >/dev/null 2>&1 && [ ! -e "$root/usr/bin/LOGs" ]; then
    ok "installed program keeps device logs in the user's data folder"
  else bad "logs of the installed program"; echo "$out"; ls -R "$home" 2>&1 | head; fi
  chmod -R u+w "$root/usr/bin"; kill $sim5 2>/dev/null; rm -rf "$home"
fi
exit $fail
