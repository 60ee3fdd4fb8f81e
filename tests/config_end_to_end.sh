#!/usr/bin/env bash
# tovrel-cli read and write of the whole configuration against tovrel-sim:
# read into a file, write the file into a second variator, compare EEPROMs.
set -u
source "$(dirname "$0")/e2e_lib.sh" "$@"

# The first variator's EEPROM: every map point different, throttle replies
# with noise in their high byte, a start timeout and calibration points.
for a in 1 2 3 4; do
  for i in $(seq 0 79); do
    case $a in
      1) v=$((900 + i * 3)) ;;
      2) v=$((-1000 + i * 29)) ;;
      3) v=$((256 + i)) ;;
      4) v=$((255 - i)) ;;
    esac
    echo "$a $i $v"
  done
done >"$dir/first.txt"
printf '5 0 300\n6 0 3900\n7 0 14\n' >>"$dir/first.txt"
start_sim 3 --eeprom "$dir/first.txt" --timer-division 16 --switch-word 0x0A00
start_sim 4 --eeprom "$dir/second.txt"
cd "$dir"

out=$("$cli" --port 3 -q read --out "$dir/engine.xml" 2>&1); check "read" 0 $? "$out" "Saved $dir/engine.xml"
check "read prints the LPG map" 0 0 "$out" "^     0       9     9.3     9.6"
check "read prints the parameters" 0 0 "$out" "Start timeout: 14 s"
check "read prints the options" 0 0 "$out" "Lowest engine speed: 100 rpm"
out=$(grep -o "<LPGPoint " "$dir/engine.xml" | wc -l); check "file holds 80 LPG points" 0 0 "$out" "^80$"

out=$("$cli" --port 4 -q write "$dir/engine.xml" 2>&1); check "write" 0 $? "$out" "committed to EEPROM"
# Maps and start timeout as read; the throttle maps by their low byte.
expected=$(awk '$1 == 3 || $1 == 4 { v = $3 % 256; if (v > 127) v -= 256; $3 = v } $1 != 5 && $1 != 6' "$dir/first.txt")
actual=$(grep -v '^[56] ' "$dir/second.txt")
if [ "$expected" == "$actual" ]; then echo "ok: second EEPROM holds the configuration"; else
  echo "FAIL: second EEPROM differs"; diff <(echo "$expected") <(echo "$actual") | head; fail=1; fi

out=$("$cli" --port 4 -q write "$dir/engine.xml" --timeout 25 2>&1); check "write with --timeout" 0 $? "$out" "start timeout 25 s"
out=$(grep '^7 ' "$dir/second.txt"); check "timeout stored" 0 0 "$out" "^7 0 25$"

# Files that fail to load send nothing: no variator listens on port 9.
printf '<variator60_2><Settings/></variator60_2>' >"$dir/bad.xml"
out=$("$cli" --port 9 write "$dir/bad.xml" 2>&1); check "bad file" 1 $? "$out" "не является файлом конфигурации"
check "bad file opens no port" 0 0 "$(grep -c 'Не удалось подключиться' <<<"$out")" "^0$"
sed 's/Timeout="14"/Timeout=""/' "$dir/engine.xml" >"$dir/notimeout.xml"
out=$("$cli" --port 9 write "$dir/notimeout.xml" 2>&1); check "file without timeout" 2 $? "$out" "give --timeout"
out=$("$cli" --port 9 read 2>&1); check "read without variator" 1 $? "$out" "Не удалось подключиться"
exit $fail
