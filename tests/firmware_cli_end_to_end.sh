#!/usr/bin/env bash
# tovrel-cli flash against tovrel-sim processes, with the program's real pauses.
set -u
source "$(dirname "$0")/e2e_lib.sh" "$@"

start_sim 2 --loader-image "$dir/received.bin"
for size in 1024 1025 3000 65536; do
  head -c "$size" /dev/urandom >"$dir/image$size.evf0"
  # 1025 bytes cannot be a whole firmware: it goes only with --force.
  force=(); [ $((size % 4)) -ne 0 ] && force=(--force)
  out=$(cd "$dir" && "$cli" --port 2 flash "image$size.evf0" "${force[@]}" 2>&1)
  check "flash $size bytes" 0 $? "$out" "firmware updated: $size bytes confirmed by the loader on COM2"
  if cmp -s "$dir/image$size.evf0" "$dir/received.bin"; then echo "ok: $size bytes arrived exactly"; else echo "FAIL: $size bytes differ"; fail=1; fi
  grep -q "reconnected: COM2, state connected" <<<"$out" || { echo "FAIL: no reconnection after $size"; fail=1; }
  grep -q "^configuration read$" <<<"$out" || { echo "FAIL: no configuration read after $size"; fail=1; }
done

# Without --force such an image is refused before the variator is touched.
head -c 1023 /dev/urandom >"$dir/odd.evf0"
cp "$dir/received.bin" "$dir/before.bin"
out=$(cd "$dir" && "$cli" --port 2 flash odd.evf0 2>&1)
check "1023 bytes refused" 1 $? "$out" "Question: .*Прошить всё равно? -> no"
grep -q "Обновление прошивки отменено: вариатор не переключался" <<<"$out" || bad "no refusal line" "$out"
grep -q "Отправлен запрос на переключение" <<<"$out" && bad "the refused image switched the variator" "$out"
cmp -s "$dir/before.bin" "$dir/received.bin" || bad "the refused image reached the loader"
out=$(cd "$dir" && "$cli" --port 2 probe 2>&1); check "still in its normal firmware" 0 $? "$out" "normal firmware"

start_sim 3 --fault erase-failed:1
out=$(cd "$dir" && "$cli" --port 3 flash image1024.evf0 2>&1); check "erase failed" 1 $? "$out" "FLASH не очищена"
grep -q "firmware not updated" <<<"$out" || { echo "FAIL: erase failure reported as success"; fail=1; }

out=$(cd "$dir" && "$cli" --port 2 flash missing.evf0 2>&1); check "missing image" 1 $? "$out" "Файл прошивки невозможно открыть!"
out=$(cd "$dir" && "$cli" --port 2 flash settings.xml 2>&1); check "not an image" 2 $? "$out" ".evf0 file"
exit $fail
