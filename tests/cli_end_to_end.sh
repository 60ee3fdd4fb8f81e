#!/usr/bin/env bash
# tovrel-cli against tovrel-sim processes in each firmware mode.
set -u
source "$(dirname "$0")/e2e_lib.sh" "$@"

start_sim 3 --mode 1
start_sim 4 --mode 2
start_sim 5 --mode 3

out=$(cd "$dir" && "$cli" --port 3 probe 2>&1); check "probe normal" 0 $? "$out" "mode 1"
out=$(cd "$dir" && "$cli" --port 4 probe 2>&1); check "probe loader" 0 $? "$out" "mode 2"
out=$(cd "$dir" && "$cli" --port 5 probe 2>&1); check "probe oscilloscope" 0 $? "$out" "mode 3"
out=$(cd "$dir" && "$cli" --port 6 probe 2>&1); check "probe nothing" 1 $? "$out" "Message: Не удалось подключиться"
out=$(cd "$dir" && "$cli" scan 2>&1); check "scan" 0 $? "$out" "COM3: mode 1"
out=$(cd "$dir" && "$cli" -q probe 2>&1); check "probe remembered port" 0 $? "$out" "COM3: mode 1"
out=$(cd "$dir" && "$cli" --port 3 exchange write 7 0 -5 2>&1); check "exchange write" 0 $? "$out" "^-5$"
out=$(cd "$dir" && "$cli" --port 3 exchange read 7 0 1000 2>&1); check "exchange read" 0 $? "$out" "^-5$"
out=$(cd "$dir" && "$cli" --port 3 exchange read 300 0 1000 2>&1); check "exchange bad address" 2 $? "$out" "0 to 255"
out=$(cd "$dir" && "$cli" ports 2>&1); check "ports" 0 $? "$out" "COM3"
out=$(cd "$dir" && "$cli" --port 1000 probe 2>&1); check "port of four digits" 105 $? "$out" "1000"

start_sim 8 --mode 3 --scope-step-ms 0 --scope-records 300
start_sim 9 --mode 3 --scope-step-ms 0 --scope-fault wrong-marker:10
out=$(cd "$dir" && "$cli" --port 8 scope --plot plot.png 2>&1); check "scope 16-bit" 0 $? "$out" "signal.txt: 300 records"
grep -q "Запись оциллограммы завершена вариатором." <<<"$out" && [ "$(wc -l <"$dir/signal.txt")" = 301 ] \
  && head -c 8 "$dir/plot.png" | grep -q PNG && echo "ok: scope files" || { echo "FAIL: scope files"; fail=1; }
out=$(cd "$dir" && "$cli" --port 8 scope --32bit 2>&1); check "scope 32-bit" 0 $? "$out" "signal32.txt: 300 records"
out=$(cd "$dir" && "$cli" --port 9 scope 2>&1); check "scope wrong marker" 1 $? "$out" "Message: Вариатор прекратил отправку данных"
out=$(cd "$dir" && "$cli" --port 3 scope 2>&1); check "scope normal firmware" 1 $? "$out" "Message: Вариатор необходимо обновить прошивкой осциллографа."

# English: by --lang and by the locale of the messages (LC_ALL over LANG;
# C keeps Russian). File contents stay as they are.
out=$(cd "$dir" && "$cli" --lang en --port 6 probe 2>&1); check "English probe nothing" 1 $? "$out" "Message: Could not connect$"
out=$(cd "$dir" && LC_ALL=en_GB.UTF-8 "$cli" --port 9 scope 2>&1); check "English by LC_ALL" 1 $? "$out" "Message: The variator stopped sending data"
out=$(cd "$dir" && LC_ALL= LC_MESSAGES= LANG=en_US.UTF-8 "$cli" --port 6 probe 2>&1); check "English by LANG" 1 $? "$out" "Message: Could not connect$"
out=$(cd "$dir" && LC_ALL=C LANG=en_US.UTF-8 "$cli" --port 6 probe 2>&1); check "C locale keeps Russian" 1 $? "$out" "Message: Не удалось подключиться"
out=$(cd "$dir" && LC_ALL=en_US.UTF-8 "$cli" --lang ru --port 6 probe 2>&1); check "--lang over the locale" 1 $? "$out" "Message: Не удалось подключиться"
out=$(cd "$dir" && "$cli" --lang fr probe 2>&1); [ $? != 0 ] && ok "--lang fr refused" || bad "--lang fr refused" "$out"
mkdir "$dir/en"
out=$(cd "$dir/en" && "$cli" --lang en --port 8 scope 2>&1); check "English scope" 0 $? "$out" "Oscillogram recording ended by the variator."
grep -qP "[\x{0400}-\x{04FF}]" <<<"$out" && bad "English scope says no Russian" "$out" || ok "English scope says no Russian"
[ "$(head -n 1 "$dir/signal.txt")" = "$(head -n 1 "$dir/en/signal.txt")" ] && [ "$(wc -l <"$dir/en/signal.txt")" = 301 ] &&
  ok "English scope file in its own format" || bad "English scope file in its own format"
out=$(cd "$dir" && "$cli" --lang en --port 3 read 2>&1); check "English read" 0 $? "$out" "LPG"
grep -qP "[\x{0400}-\x{04FF}]" <<<"$out" && bad "English read says no Russian" "$out" || ok "English read says no Russian"

# Ctrl+C while the capture waits on a line gone silent mid-stream (the
# program's own wait for a byte is 60 s): it stops at once, keeps the records
# so far in place of the older file and leaves no temporary beside it.
start_sim 10 --mode 3 --paced --scope-step-ms 0 --scope-records -1 --scope-fault stream-stops:300
mkdir "$dir/ctrlc" && printf 'older' >"$dir/ctrlc/signal.txt"
(cd "$dir/ctrlc" && exec "$cli" --port 10 scope) >"$dir/ctrlc.out" 2>&1 &
scope_pid=$!
for _ in $(seq 400); do grep -q "Записали 255 " "$dir/ctrlc.out" && break; sleep 0.05; done
sleep 0.5
t0=$(date +%s%N)
kill -INT "$scope_pid"
wait "$scope_pid"
status=$?
took=$((($(date +%s%N) - t0) / 1000000))
echo "scope Ctrl+C: ended ${took} ms after the interrupt"
out=$(cat "$dir/ctrlc.out")
check "scope Ctrl+C" 1 $status "$out" "signal.txt: 300 records"
[ "$took" -lt 3000 ] && [ "$(wc -l <"$dir/ctrlc/signal.txt")" = 301 ] && grep -q "Запись осциллограммы отменена." <<<"$out" &&
  [ -z "$(find "$dir/ctrlc" -name '.signal*')" ] && echo "ok: scope Ctrl+C files and time" ||
  { echo "FAIL: scope Ctrl+C files and time ($took ms)"; ls -a "$dir/ctrlc"; fail=1; }
exit $fail
