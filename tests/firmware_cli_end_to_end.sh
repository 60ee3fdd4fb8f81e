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
grep -q "^Message: Обновление прошивки не завершено: вариатор остался в режиме загрузчика" <<<"$out" ||
  bad "erase failure does not say the variator waits in its loader" "$out"

# The loader confirms, but the variator stays in its loader: not a success.
start_sim 4 --fault loader-stays:1
out=$(cd "$dir" && "$cli" --port 4 flash image1024.evf0 2>&1)
check "confirmed but still in the loader" 1 $? "$out" "did not come back in its normal firmware: it stays in its loader"
grep -q "firmware updated: 1024 bytes confirmed" <<<"$out" || bad "no confirmation by the loader" "$out"

# Ctrl+C in the middle of the data, on a line paced like the real one: the
# first press only says why the update goes on, the second ends it with the
# words about the loader, and the status says it failed.
start_sim 5 --paced --loader-image "$dir/received5.bin"
head -c 8192 /dev/urandom >"$dir/big.evf0"
set -m  # the command runs as a job of its own, with Ctrl+C's default action
(cd "$dir" && exec "$cli" --port 5 flash big.evf0 >"$dir/int.out" 2>&1) &
pid=$!
set +m
for _ in $(seq 600); do grep -q "Передали вариатору 1024 байт" "$dir/int.out" 2>/dev/null && break; sleep 0.1; done
kill -INT "$pid"
sleep 2
if kill -0 "$pid" 2>/dev/null && grep -q "cannot be interrupted safely" "$dir/int.out"; then
  ok "first Ctrl+C: the update goes on"
else
  bad "first Ctrl+C" "$(cat "$dir/int.out")"
fi
t0=$(date +%s)
kill -INT "$pid"
wait "$pid"
status=$?
took=$(($(date +%s) - t0))
out=$(cat "$dir/int.out")
check "second Ctrl+C ends the update" 1 "$status" "$out" "^Message: Обновление прошивки не завершено: вариатор остался в режиме загрузчика"
grep -q "did not complete: the variator stays in its loader; flash the same image again" <<<"$out" || bad "no closing line" "$out"
[ "$took" -le 10 ] || bad "the second Ctrl+C took $took s"
[ -e "$dir/received5.bin" ] && bad "the loader kept an interrupted image"
# What the message promises: the same image again brings the variator back.
out=$(cd "$dir" && "$cli" --port 5 flash big.evf0 2>&1)
check "same image again" 0 $? "$out" "reconnected: COM5, state connected"
cmp -s "$dir/big.evf0" "$dir/received5.bin" || bad "the recovered image differs"

out=$(cd "$dir" && "$cli" --port 2 flash missing.evf0 2>&1); check "missing image" 1 $? "$out" "Файл прошивки невозможно открыть!"
out=$(cd "$dir" && "$cli" --port 2 flash settings.xml 2>&1); check "not an image" 2 $? "$out" ".evf0 file"
exit $fail
