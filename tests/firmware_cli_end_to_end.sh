#!/usr/bin/env bash
# tovrel-cli flash against tovrel-sim processes, with the program's real pauses.
set -u
cli=$1
sim=$2
dir=$(mktemp -d)
export TOVREL_PORT_DIR=$dir
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; rm -rf "$dir"; }
trap cleanup EXIT
fail=0
check() { # name, expected status, actual status, output, pattern
  if [ "$2" != "$3" ] || ! grep -q -- "$5" <<<"$4"; then
    echo "FAIL: $1 (status $3, wanted $2)"; echo "$4"; fail=1
  else
    echo "ok: $1"
  fi
}
start_sim() { "$sim" --port "$1" "${@:2}" >"$dir/sim$1.log" 2>&1 & pids+=($!)
  for _ in $(seq 100); do [ -e "$dir/COM$1" ] && return; sleep 0.05; done; echo "sim on $1 did not start"; exit 1; }

start_sim 2 --loader-image "$dir/received.bin"
for size in 1024 1025 3000 65536; do
  head -c "$size" /dev/urandom >"$dir/image$size.evf0"
  out=$(cd "$dir" && "$cli" --port 2 flash "image$size.evf0" 2>&1)
  check "flash $size bytes" 0 $? "$out" "firmware updated: $size bytes confirmed by the loader on COM2"
  if cmp -s "$dir/image$size.evf0" "$dir/received.bin"; then echo "ok: $size bytes arrived exactly"; else echo "FAIL: $size bytes differ"; fail=1; fi
  grep -q "reconnected: COM2, state connected" <<<"$out" || { echo "FAIL: no reconnection after $size"; fail=1; }
  grep -q "^configuration read$" <<<"$out" || { echo "FAIL: no configuration read after $size"; fail=1; }
done

start_sim 3 --fault erase-failed:1
out=$(cd "$dir" && "$cli" --port 3 flash image1024.evf0 2>&1); check "erase failed" 1 $? "$out" "FLASH не очищена"
grep -q "firmware not updated" <<<"$out" || { echo "FAIL: erase failure reported as success"; fail=1; }

out=$(cd "$dir" && "$cli" --port 2 flash missing.evf0 2>&1); check "missing image" 1 $? "$out" "Файл прошивки невозможно открыть!"
out=$(cd "$dir" && "$cli" --port 2 flash settings.xml 2>&1); check "not an image" 2 $? "$out" ".evf0 file"
exit $fail
