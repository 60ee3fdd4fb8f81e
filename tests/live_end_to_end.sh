#!/usr/bin/env bash
# tovrel-cli monitor and tps commands against tovrel-sim with its live engine.
set -u
source "$(dirname "$0")/e2e_lib.sh" "$@"

mkdir -p "$dir/dump"
start_sim 3 --engine --pedal-period 1 --capabilities 0x0600 --timer-division 16 --switch-word 0x0A00 \
  --log-entry-ms 0 --log-dump "$dir/dump" --eeprom "$dir/eeprom.txt"
start_sim 4 --engine
cd "$dir"

# The LOG file's entries, as "index T flags" lines like the simulator's dump.
entries() { iconv -f cp1251 -t utf-8 "$1" | tail -n +3 | tr -d '\r' |
  awk '{ print $2, $12, $4 * 256 + $10 * 128 + ($6 + 1) * 32 + $8 }'; }

out=$("$cli" -q --port 3 monitor --passes 40 --csv "$dir/run.csv" --logs --logs-dir "$dir/LOGs" --start-log 2>&1)
status=$?
rows=$(($(wc -l <"$dir/run.csv") - 1))
if [ $status -eq 0 ] && [ $rows -eq 40 ] && head -1 "$dir/run.csv" | grep -q '^pass,time_ms,rpm,tps_adc,' &&
   grep -q $'\r$' "$dir/run.csv" && grep -q "40 passes, 0 failed exchanges, 1 log files written" <<<"$out"; then
  ok "monitor writes a CSV row per pass"
else bad "monitor CSV (status $status, rows $rows)" "$out"; fi
if [ -f LOGs/LOG_1.txt ] && diff <(entries LOGs/LOG_1.txt) dump/log_1.txt >/dev/null &&
   [ "$(iconv -f cp1251 -t utf-8 LOGs/LOG_1.txt | head -2 | tr -d '\r')" = "$(printf 'Шагов адаптации: 16   \nLMR: 100  ')" ]; then
  ok "device log captured into LOG_1.txt as the simulator holds it"
else bad "LOG_1.txt" "$(ls LOGs dump 2>&1)"; fi
awk -F, 'NR > 1 && ($3 < 800 || $3 > 4600 || $4 < 400 || $4 > 3950) { bad = 1 } END { exit bad }' "$dir/run.csv" &&
  ok "live values are plausible" || bad "implausible live values" "$(head -5 "$dir/run.csv")"

sum1=$(md5sum <LOGs/LOG_1.txt)
out=$("$cli" -q --port 3 monitor --passes 5 --logs --logs-dir "$dir/LOGs" --start-log 2>&1)
if [ -f LOGs/LOG_2.txt ] && [ "$(md5sum <LOGs/LOG_1.txt)" = "$sum1" ] && diff <(entries LOGs/LOG_2.txt) dump/log_2.txt >/dev/null; then
  ok "a later program run continues with LOG_2.txt"
else bad "second run's log" "$out" "$(ls LOGs)"; fi

out=$("$cli" -q --port 3 monitor --passes 5 --csv "$dir/no/such/dir/run.csv" 2>&1); status=$?
[ $status -eq 1 ] && grep -q "CSV file cannot be written" <<<"$out" && ok "unwritable CSV refused before the run" || bad "unwritable CSV ($status)" "$out"

# A run that never connects leaves an earlier CSV of that name as it was.
printf 'earlier\r\n' >"$dir/kept.csv"
out=$("$cli" -q --port 9 monitor --passes 5 --csv "$dir/kept.csv" 2>&1); status=$?
[ $status -eq 1 ] && [ "$(cat "$dir/kept.csv")" = $'earlier\r' ] && ok "a run without a variator keeps an earlier CSV" ||
  bad "earlier CSV ($status)" "$out" "$(cat "$dir/kept.csv")"

out=$("$cli" -q --port 4 monitor --passes 5 --logs 2>&1); status=$?
[ $status -eq 1 ] && grep -q "keeps no logs" <<<"$out" && ok "--logs refused without log firmware" || bad "--logs on plain firmware ($status)" "$out"

"$cli" --port 3 monitor --passes 100000 --csv "$dir/stopped.csv" >"$dir/stopped.out" 2>"$dir/stopped.err" & mon=$!
for _ in $(seq 200); do grep -q "^pass 60:" "$dir/stopped.out" 2>/dev/null && break; sleep 0.05; done
kill -INT $mon; wait $mon; status=$?
if [ $status -eq 0 ] && grep -q "monitor: [0-9]* passes" "$dir/stopped.err" && [ "$(wc -l <"$dir/stopped.csv")" -gt 10 ]; then
  ok "Ctrl+C ends the run as the second press does"
else bad "Ctrl+C (status $status)" "$(cat "$dir/stopped.err")"; fi

out=$("$cli" -q --port 3 tps track --passes 800 --store 2>&1); status=$?
tmin=$(sed -n 's/^tracked minimum \([0-9]*\), maximum \([0-9]*\)$/\1/p' <<<"$out")
tmax=$(sed -n 's/^tracked minimum \([0-9]*\), maximum \([0-9]*\)$/\2/p' <<<"$out")
if [ $status -eq 0 ] && [ -n "$tmin" ] && [ "$tmin" -lt 600 ] && [ "$tmax" -gt 3700 ] &&
   grep -qx "5 0 $tmin" eeprom.txt && grep -qx "6 0 $tmax" eeprom.txt; then
  ok "tracked throttle ends stored in the EEPROM"
else bad "tps track --store ($status)" "$out" "$(tail -3 eeprom.txt 2>&1)"; fi

# Tracking that ends on a garbled line stores nothing and says so once,
# instead of trying each write with a box of its own.
start_sim 5 --engine --pedal-period 1 --eeprom "$dir/eeprom5.txt" --line-fault garbage:400
out=$("$cli" -q --port 5 tps track --passes 60 --store 2>&1); status=$?
boxes=$(grep -c '^Message: ' <<<"$out")
if [ $status -eq 1 ] && [ ! -e "$dir/eeprom5.txt" ] && [ "$boxes" -le 3 ] && grep -q "NOT stored: the line failed" <<<"$out"; then
  ok "tracking on a garbled line stores nothing"
else bad "tps track --store on a garbled line ($status, $boxes boxes)" "$out"; fi

out=$("$cli" -q --port 3 tps track --passes 800 --swap 2>&1)
grep -q "^swapped: minimum [0-9]*, maximum [0-9]*$" <<<"$out" && ok "tps track --swap" || bad "tps track --swap" "$out"

"$cli" -q --port 3 tps set-max 3900 >/dev/null 2>&1 && "$cli" -q --port 3 tps set-min 450 >/dev/null 2>&1 &&
  grep -qx "6 0 3900" eeprom.txt && grep -qx "5 0 450" eeprom.txt && ok "tps set-max / set-min" || bad "tps set-max/min" "$(tail -3 eeprom.txt)"
out=$("$cli" -q --port 3 tps set-max abc 2>&1); status=$?
[ $status -eq 2 ] && grep -q "'abc' is not a valid integer value" <<<"$out" && ok "typed value not a number" || bad "set-max abc ($status)" "$out"
out=$("$cli" -q --port 3 tps set-min 5000 2>&1); status=$?
[ $status -eq 2 ] && grep -q "0 to 4095" <<<"$out" && ok "typed value out of range" || bad "set-min 5000 ($status)" "$out"
out=$("$cli" -q --port 3 tps min 2>&1); status=$?
[ $status -eq 0 ] && grep -q "^minimum [0-9]* stored (address 5)$" <<<"$out" && ok "tps min stores the present reading" || bad "tps min ($status)" "$out"
exit $fail
