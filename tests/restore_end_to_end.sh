#!/usr/bin/env bash
# tovrel-cli diff, and flash with its backup restored by write, against
# tovrel-sim processes.
set -u
source "$(dirname "$0")/e2e_lib.sh" "$@"

start_sim 2 --flash-clears-eeprom
out=$("$cli" --port 2 -q read --out "$dir/a.xml" 2>&1); check "read" 0 $? "$out" "Saved"
out=$("$cli" diff "$dir/a.xml" "$dir/a.xml" 2>&1); check "diff of a file with itself" 0 $? "$out" "^equal$"
# One LPG point (500 rpm) and the start timeout changed.
sed -e 's/UOZ500="0">0</UOZ500="1.5">1500</' -e 's/Timeout="0"/Timeout="42"/' "$dir/a.xml" >"$dir/b.xml"
out=$("$cli" diff "$dir/a.xml" "$dir/b.xml" 2>&1); check "diff of two files" 1 $? "$out" "point 6 (rpm 500): 0 -> 1.5"
grep -q "^LPG: 1 of 80 points differ, largest 1.5, mean 1.5$" <<<"$out" || bad "no LPG summary" "$out"
grep -q "^Start timeout: 0 -> 42$" <<<"$out" || bad "no start timeout" "$out"
out=$("$cli" diff "$dir/a.xml" "$dir/missing.xml" 2>&1); check "a missing file" 2 $? "$out" "missing.xml"
echo '<other><a/><b/><c/><d/><e/></other>' >"$dir/other.xml"
out=$("$cli" diff "$dir/other.xml" "$dir/a.xml" 2>&1); check "another program's file" 2 $? "$out" "other.xml.*\"other\""
out=$("$cli" diff "$dir/a.xml" 2>&1); check "nothing to compare with" 2 $? "$out" "diff compares"
out=$("$cli" --port 2 -q diff "$dir/a.xml" --device 2>&1); check "file against the device, equal" 0 $? "$out" "^equal$"
out=$("$cli" --port 2 -q write "$dir/b.xml" 2>&1); check "write" 0 $? "$out" "committed to EEPROM"
ls "$dir"/data/tovrel-terminal/restore-points/*.xml >/dev/null 2>&1 || bad "no restore point at the commit"
out=$("$cli" --port 2 -q diff "$dir/a.xml" --device 2>&1); check "file against the device, differ" 1 $? "$out" "0 -> 1.5"
out=$("$cli" --port 3 -q diff "$dir/a.xml" --device 2>&1); check "no device" 2 $? "$out" "."

# The flash keeps a backup; the new firmware's EEPROM is empty; write restores it.
head -c 1024 /dev/urandom >"$dir/image.evf0"
out=$("$cli" --port 2 flash "$dir/image.evf0" 2>&1); check "flash with a backup" 0 $? "$out" "^backup: "
backup=$(sed -n 's/^backup: //p' <<<"$out")
grep -q "restore it with: tovrel-cli write $backup" <<<"$out" || bad "no restore hint" "$out"
out=$("$cli" --port 2 -q diff "$backup" --device 2>&1); check "the device differs from the backup" 1 $? "$out" "1.5 -> 0"
out=$("$cli" --port 2 -q write "$backup" 2>&1); check "write the backup" 0 $? "$out" "start timeout 42 s, committed"
out=$("$cli" --port 2 -q diff "$backup" --device 2>&1); check "the device equals the backup" 0 $? "$out" "^equal$"
out=$("$cli" --port 2 flash --no-backup "$dir/image.evf0" 2>&1); check "flash without a backup" 0 $? "$out" "firmware updated"
grep -q "^backup: " <<<"$out" && bad "--no-backup made a backup" "$out"
exit $fail
