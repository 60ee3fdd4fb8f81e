#!/usr/bin/env bash
# Brings every translations/tovrel_<language>.ts up to the texts of the
# sources: a text new in a catalogue comes in as unfinished (translate it in
# Qt Linguist or in the file), a text gone from the sources leaves. No line
# numbers are kept, so the files change only where the texts do.
#   scripts/update-translations.sh           update the .ts files
#   scripts/update-translations.sh --check   change nothing; fail when a .ts
#                                            lacks a text of the sources, keeps
#                                            one they no longer have, or has an
#                                            unfinished entry
# LUPDATE names the lupdate to use (default: Qt 6's, from qt6-l10n-tools).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
lupdate=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
# Every folder with user texts: the Qt-free libraries' catalogues are
# QT_TRANSLATE_NOOP entries as well.
dirs=(link maps settings firmware oscilloscope restore app ui cli)
options=(-silent -locations none -no-obsolete -source-language ru)
check=0
[ "${1:-}" = --check ] && check=1
cd "$root"
status=0
for ts in translations/tovrel_*.ts; do
  lang=$(basename "$ts" .ts)
  lang=${lang#tovrel_}
  if [ $check = 0 ]; then
    "$lupdate" "${options[@]}" -target-language "$lang" "${dirs[@]}" -ts "$ts"
    echo "$ts: $(grep -c 'type="unfinished"' "$ts" || true) unfinished"
    continue
  fi
  if grep -n 'type="\(unfinished\|vanished\|obsolete\)"' "$ts"; then
    echo "FAIL: $ts has unfinished or vanished entries (above)"
    status=1
  fi
  work=$(mktemp -d)
  cp "$ts" "$work/$(basename "$ts")"
  "$lupdate" "${options[@]}" -target-language "$lang" "${dirs[@]}" -ts "$work/$(basename "$ts")"
  if ! diff -u "$ts" "$work/$(basename "$ts")"; then
    echo "FAIL: $ts is not up to the sources (the diff above is what scripts/update-translations.sh would change)"
    status=1
  fi
  rm -rf "$work"
  [ $status = 0 ] && echo "ok: $ts has every text of the sources, each translated"
done
exit $status
