#!/usr/bin/env bash
# The fault matrix: every device procedure of tovrel-cli against tovrel-sim
# with each line fault striking midway (the pseudo-terminal closes, the
# device goes silent, sends garbage, answers later than the timeouts). Each
# cell must end within its bound with a failure status and a clear message,
# invent nothing, lose no good file, and a fresh run must connect afterwards.
# The table goes to the Markdown file given; nobody writes it by hand.
#
#   tests/fault_matrix.sh TOVREL_CLI TOVREL_SIM OUT.md [JOBS]
#
# FAULT_CELLS="op/fault ..." runs only those cells (a table of them goes to
# OUT.md all the same); FAULT_KEEP=1 keeps the cells' directories.
# Exit status 0 when every cell passed or failed only as listed in KNOWN.
set -u
cli=$(realpath "$1")
sim=$(realpath "$2")
out=$3
jobs=${4:-4}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; [ -n "${FAULT_KEEP:-}" ] && echo "cells kept in $work" || rm -rf "$work"' EXIT

ops=(read write map monitor track flash scope)
faults=(vanish silent garbage late stall latency)
# On a line paced like a real 9600-baud one: a device busy once (its next
# answer comes 2.6 s late, past the exchange's timeout and its retry's
# drain) and a line with a constant latency just above the timeout.
paced_faults=" stall latency "
# Cells where the procedure must succeed all the same: a single late answer
# costs a retry, not a value; the loader and the oscilloscope firmware wait
# long enough for any of these delays.
succeeds() { # op fault
  case "$1/$2" in
    */stall | scope/latency) return 0 ;;
    *) return 1 ;;
  esac
}

# Cells expected to fail for now, with the reason the table gives.
declare -A KNOWN=(
)

# What each procedure is, in the table.
declare -A TITLE=(
  [read]="read-all (\`read --out\`)"
  [write]="write-all (\`write\`)"
  [map]="single-map write (\`write --map Petrol\`)"
  [monitor]="monitor with logs (\`monitor --logs --csv\`)"
  [track]="throttle tracking (\`tps track --store\`)"
  [flash]="firmware update (\`flash\`)"
  [scope]="oscillogram capture (\`scope\`)"
)
# Bytes on the line (both ways) before the fault strikes: midway through
# each procedure.
declare -A AFTER=([read]=2000 [write]=2000 [map]=600 [monitor]=2500 [track]=400 [flash]=10000 [scope]=4000)
# How late a late device answers: beyond the procedure's own timeout
# (2 s per exchange, 20 s of silence for an answer of the firmware update's
# loader, 60 s per oscillogram byte).
declare -A LATE=([read]=2500 [write]=2500 [map]=2500 [monitor]=2500 [track]=2500 [flash]=25000 [scope]=61000)
late_ms() { # op fault
  case $2 in
    stall) echo 2600 ;;
    latency) echo 2300 ;;
    *) echo "${LATE[$1]}" ;;
  esac
}
# The bound each cell must end within, in seconds, per procedure and fault.
bound() { # op fault
  case "$1/$2" in
    # Paced, the firmware update's 16 KB cross the line twice (about 35 s);
    # with a latency every answer of the loader comes 2.3 s late.
    flash/stall) echo 90 ;;
    flash/latency) echo 240 ;;
    scope/stall | scope/latency) echo 60 ;;
    # A paced read-all or write-all takes about 6 s; the monitor's 80
    # passes with logs some 40 s.
    monitor/stall) echo 90 ;;
    */stall) echo 40 ;;
    # Three exchanges answered 2.3 s late end the procedure.
    */latency) echo 30 ;;
    # A loader answer that stays silent for 20 s ends the update; no
    # reconnection follows an interrupted update.
    flash/*) echo 60 ;;
    scope/silent) echo 75 ;;
    scope/late) echo 100 ;;
    scope/*) echo 30 ;;
    */late) echo 30 ;;
    # Three exchanges without an answer, each followed by the wait for its
    # reply should it still come (up to 5 s after the request), end a
    # procedure; the live loops end after several passes that got no answer.
    monitor/silent) echo 40 ;;
    */silent) echo 30 ;;
    *) echo 20 ;;
  esac
}
sim_options() { # op dir
  case "$1" in
    write) echo "--eeprom $2/eeprom.txt" ;;
    track) echo "--eeprom $2/eeprom.txt --engine --pedal-period 1" ;;
    monitor) echo "--engine --pedal-period 1 --capabilities 0x0600 --log-entry-ms 0 --log-dump $2/dump" ;;
    flash) echo "--loader-image $2/flashed.bin --loader-erase-ms 10 --loader-ready-ms 10" ;;
    scope) echo "--mode 3 --scope-step-ms 0" ;;
  esac
}
cli_args() { # op dir
  case "$1" in
    read) echo "read --out $2/config.xml" ;;
    write) echo "write $work/mod.xml" ;;
    map) echo "write $work/mod.xml --map Petrol" ;;
    monitor) echo "monitor --passes 80 --csv $2/run.csv --logs --logs-dir $2/LOGs --start-log" ;;
    track) echo "tps track --passes 60 --store" ;;
    flash) echo "flash $work/image.evf0" ;;
    scope) echo "scope" ;;
  esac
}

start_sim() { # dir, options... ; prints the pid once the simulator runs
  local log=$1/sim-$RANDOM$RANDOM.log
  "$sim" --port-dir "$1/ports" --port 1 "${@:2}" >"$log" 2>&1 &
  local pid=$!
  # It prints its line once its thread serves the line.
  for _ in $(seq 250); do grep -q -- '->' "$log" 2>/dev/null && break; sleep 0.02; done
  echo "$pid"
}
stop_sim() { # the simulator is not a child of the caller's shell: poll until it is gone
  kill "$1" 2>/dev/null
  for _ in $(seq 250); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.02; done
  kill -9 "$1" 2>/dev/null
}

# ------------------------------------------------------------------ set-up
# The reference files: the simulator's default configuration as read by a
# clean run, a configuration of other values to write, an image, and a
# clean oscillogram.
setup() {
  local d=$work/setup pid
  mkdir -p "$d/ports"
  export TOVREL_PORT_DIR=$d/ports
  pid=$(start_sim "$d")
  (cd "$d" && "$cli" -q --port 1 read --out "$work/ref.xml" >/dev/null 2>&1) || { echo "set-up read failed"; exit 1; }
  stop_sim "$pid"
  # 1.5 degrees in the advance maps, 90 % in the throttle maps: values an
  # editor can make, so that the write cells really write.
  for a in 1 2 3 4; do v=150; [ $a -ge 3 ] && v=90; for i in $(seq 0 79); do echo "$a $i $v"; done; done >"$d/mod-eeprom.txt"
  printf '5 0 500\n6 0 3500\n7 0 7\n' >>"$d/mod-eeprom.txt"
  pid=$(start_sim "$d" --eeprom "$d/mod-eeprom.txt")
  (cd "$d" && "$cli" -q --port 1 read --out "$work/mod.xml" >/dev/null 2>&1) || { echo "set-up read of other values failed"; exit 1; }
  stop_sim "$pid"
  head -c 16384 /dev/urandom >"$work/image.evf0"
  pid=$(start_sim "$d" --mode 3 --scope-step-ms 0 --scope-records 300)
  (cd "$d" && "$cli" -q --port 1 scope >/dev/null 2>&1 && cp signal.txt "$work/ref-signal.txt") ||
    { echo "set-up capture failed"; exit 1; }
  stop_sim "$pid"
  rm -rf "$d"
}

# The LOG file's entries, as "index T flags" lines like the simulator's dump.
entries() { iconv -f cp1251 -t utf-8 "$1" | tail -n +3 | tr -d '\r' |
  awk '{ print $2, $12, $4 * 256 + $10 * 128 + ($6 + 1) * 32 + $8 }'; }

# Messages of a run: the boxes and the command line's own error lines, less
# the connection's greeting.
messages() { grep -E '^(Message: |Error: |tovrel-cli: )' "$1" | grep -v -E '^Message: (Вариатор подключен|Компорт открыт)'; }

# ------------------------------------------------------------------- cells
# Writes one result line: op|fault|seconds|bound|status|messages|last message|files|reconnect|verdict|notes
run_cell() {
  local op=$1 fault=$2 d=$work/cell-$1-$2
  mkdir -p "$d/ports"
  export TOVREL_PORT_DIR=$d/ports
  local b; b=$(bound "$op" "$fault")
  # Good files the procedure must not lose.
  case $op in
    read) cp "$work/ref.xml" "$d/config.xml" ;;
    monitor) mkdir -p "$d/LOGs" "$d/dump"; printf 'old log\r\n' >"$d/LOGs/LOG_1.txt"; printf 'old,csv\r\n' >"$d/run.csv" ;;
    scope) cp "$work/ref-signal.txt" "$d/signal.txt" ;;
  esac
  local pid
  # shellcheck disable=SC2046
  local paced=""
  [[ $paced_faults == *" $fault "* ]] && paced=--paced
  pid=$(start_sim "$d" --line-fault "$fault:${AFTER[$op]}" --line-late-ms "$(late_ms "$op" "$fault")" $paced \
    $(sim_options "$op" "$d"))
  local t0 t1 status
  t0=$(date +%s.%N)
  # shellcheck disable=SC2046
  (cd "$d" && timeout -k 5 $((b + 30)) "$cli" -q --port 1 $(cli_args "$op" "$d") >"$d/out.txt" 2>"$d/err.txt")
  status=$?
  t1=$(date +%s.%N)
  stop_sim "$pid"
  local secs; secs=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.1f", b - a }')
  local notes=() files=ok verdict=pass
  # Ended within the bound, and as a failure: the fault struck midway.
  if awk -v s="$secs" -v b="$b" 'BEGIN { exit !(s > b) }'; then verdict=fail; notes+=("took longer than ${b} s"); fi
  [ "$status" -eq 124 ] || [ "$status" -eq 137 ] && notes+=("killed after $((b + 30)) s")
  local count last
  count=$(messages "$d/err.txt" | grep -c '^Message: ')
  # Paths of the cell's directory are left out: the table stays the same from run to run.
  last=$(messages "$d/err.txt" | tail -1 | sed "s#$d/##g; s#$work/##g" | LC_ALL=C.UTF-8 sed -E 's/^(.{100}).+/\1…/' | tr '|' '/')
  if succeeds "$op" "$fault"; then
    # The fault costs time, nothing else: success, no box.
    [ "$status" -ne 0 ] && { verdict=fail; notes+=("failed (status $status)"); }
    [ "$count" -gt 0 ] && { verdict=fail; notes+=("$count message boxes"); }
  else
    [ "$status" -eq 0 ] && { verdict=fail; notes+=("reported success"); }
    # One clear message, not one per point: at most three message boxes, and a
    # box or the command's own error line at all.
    if [ -z "$last" ]; then verdict=fail; notes+=("no message"); fi
    if [ "$count" -gt 3 ]; then verdict=fail; notes+=("$count message boxes"); fi
  fi
  # Nothing invented, no good file lost.
  case $op in
    read)
      # A successful read saves the device's own values: the same file.
      cmp -s "$d/config.xml" "$work/ref.xml" || { files=changed; notes+=("config.xml no longer the good file"); } ;;
    write)
      if succeeds "$op" "$fault" && [ ! -e "$d/eeprom.txt" ]; then files="not committed"; notes+=("nothing committed"); fi
      if [ -e "$d/eeprom.txt" ]; then
        files=committed
        [ "$(grep -c -E '^[12] [0-9]+ 150$|^[34] [0-9]+ 90$' "$d/eeprom.txt")" -eq 320 ] ||
          { files="mixed commit"; notes+=("EEPROM committed with maps not all confirmed"); }
        [ "$status" -ne 0 ] && notes+=("committed although the command failed")
      fi ;;
    monitor)
      [ "$(cat "$d/LOGs/LOG_1.txt")" = $'old log\r' ] || { files=changed; notes+=("LOG_1.txt overwritten"); }
      for f in "$d"/LOGs/LOG_*.txt; do
        n=${f##*LOG_}; n=${n%.txt}
        [ "$n" = 1 ] && continue
        # LOG_2.. hold the device's logs 1..: each must be the log the device kept.
        dump=$d/dump/log_$((n - 1)).txt
        if [ ! -e "$dump" ] || ! diff -q <(entries "$f") "$dump" >/dev/null; then
          files=invented; notes+=("$(basename "$f") is not a log the device kept")
        fi
      done
      if [ "$(head -c 7 "$d/run.csv")" != "old,csv" ]; then
        # A new CSV: every row holds a pass the device answered, or nothing.
        if ! awk -F, 'NR > 1 && $3 != "" && ($3 < 500 || $3 > 6000) { bad = 1 } END { exit bad }' "$d/run.csv"; then
          files=invented; notes+=("CSV rows with values the device did not send")
        fi
      fi ;;
    track)
      [ -e "$d/eeprom.txt" ] && [ "$status" -ne 0 ] && { files=stored; notes+=("stored although the command failed"); } ;;
    flash)
      if [ -e "$d/flashed.bin" ] && ! cmp -s "$d/flashed.bin" "$work/image.evf0"; then
        files=invented; notes+=("the loader kept an image other than the file")
      elif succeeds "$op" "$fault" && [ ! -e "$d/flashed.bin" ]; then
        files="not flashed"; notes+=("the loader kept no image")
      fi ;;
    scope)
      if ! cmp -s "$d/signal.txt" "$work/ref-signal.txt"; then
        # Replaced: only by a file with its head line and whole record lines.
        if ! iconv -f cp1251 -t utf-8 "$d/signal.txt" 2>/dev/null | awk '
            NR == 1 { ok = /^Шагов адаптации: / ; next }
            !/\r$/ || !/^Запрос [0-9]/ { ok = 0 }
            END { exit !(ok && NR >= 2) }'; then
          files=lost; notes+=("signal.txt replaced by a file without whole records")
        else
          files="records kept"
        fi
      fi ;;
  esac
  case $files in changed | "mixed commit" | stored | invented | lost | "not committed" | "not flashed") verdict=fail ;; esac
  # A fresh run connects afterwards, through the remembered port or the scan.
  local again=no
  pid=$(start_sim "$d")
  if (cd "$d" && timeout -k 5 40 "$cli" -q probe >"$d/probe.txt" 2>&1) && grep -q "normal firmware" "$d/probe.txt"; then
    again=yes
  else
    verdict=fail; notes+=("no connection afterwards")
  fi
  stop_sim "$pid"
  local IFS=';'
  echo "$op|$fault|$secs|$b|$status|$count|$last|$files|$again|$verdict|${notes[*]}" >"$work/result-$op-$fault"
}

setup
wanted() { [ -z "${FAULT_CELLS:-}" ] || [[ " $FAULT_CELLS " == *" $1/$2 "* ]]; }
for op in "${ops[@]}"; do
  for fault in "${faults[@]}"; do
    wanted "$op" "$fault" || continue
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do sleep 0.2; done
    run_cell "$op" "$fault" &
  done
done
wait

# ------------------------------------------------------------------- table
failed=0 unknown=0 longest=0 longest_cell="" cells=0
{
  echo "# Fault matrix"
  echo
  echo "Generated by \`tests/fault_matrix.sh\` (CTest label \`faults\`) on $(date -u '+%Y-%m-%d %H:%M UTC'); do not edit."
  echo
  echo "Each procedure of \`tovrel-cli\` runs against \`tovrel-sim\` with a line fault (\`--line-fault KIND:BYTES\`)"
  echo "that strikes once the given number of bytes has crossed the line, midway through the procedure:"
  echo "**vanish** (the pseudo-terminal closes), **silent** (the device sends nothing more and ignores what comes),"
  echo "**garbage** (every byte it sends is replaced by a random one), **late** (everything it sends goes out"
  echo "later than the procedure's timeout: 2.5 s for exchanges, 25 s for the firmware update's loader answers,"
  echo "61 s for oscillogram bytes); on a line paced like a real 9600-baud one, **stall** (the device is busy"
  echo "once: its next answer goes out 2.6 s late, past the exchange's timeout and its retry's drain) and **latency**"
  echo "(a constant latency of 2.3 s, just above the timeout, while the device goes on answering)."
  echo
  echo "A cell of a fault the procedure can live with (a stall; a latency for the capture, whose timeouts are"
  echo "longer) passes when the command succeeds with no message box and every file holds the"
  echo "device's own data: the same configuration file, an EEPROM holding every value written, the image flashed."
  echo "Any other cell passes when the command ends within its bound with a failure status, says why (at most three"
  echo "message boxes, or the command's own error line; the last is quoted), keeps every good file (an earlier configuration file, LOG file, CSV file or"
  echo "\`signal.txt\`; no EEPROM commit or stored calibration after a failed run; no LOG file or CSV row that the"
  echo "device did not send; no image kept by the loader other than the file), and a fresh \`tovrel-cli probe\`"
  echo "connects afterwards."
  echo
  echo "| procedure | fault | after bytes | time s | bound s | status | message boxes | last message | files | reconnects | result | notes |"
  echo "|---|---|---|---|---|---|---|---|---|---|---|---|"
  for op in "${ops[@]}"; do
    for fault in "${faults[@]}"; do
      wanted "$op" "$fault" || continue
      cells=$((cells + 1))
      f=$work/result-$op-$fault
      if [ ! -e "$f" ]; then
        echo "| ${TITLE[$op]} | $fault | ${AFTER[$op]} | | | | | | | | **fail** | the cell did not run |"
        failed=$((failed + 1)); unknown=$((unknown + 1)); continue
      fi
      IFS='|' read -r _ _ secs b status count last files again verdict notes <"$f"
      if awk -v s="$secs" -v l="$longest" 'BEGIN { exit !(s > l) }'; then longest=$secs; longest_cell="$op/$fault"; fi
      result=pass
      if [ "$verdict" = fail ]; then
        failed=$((failed + 1))
        if [ -n "${KNOWN[$op/$fault]:-}" ]; then
          result="known failure"; notes="$notes; known: ${KNOWN[$op/$fault]}"
        else
          result="**fail**"; unknown=$((unknown + 1))
        fi
      fi
      echo "| ${TITLE[$op]} | $fault | ${AFTER[$op]} | $secs | $b | $status | $count | ${last:-} | $files | $again | $result | ${notes//;/; } |"
    done
  done
  echo
  echo "Cells: $cells, passed: $((cells - failed)), failed: $failed (known: $((failed - unknown))). Longest cell: $longest s ($longest_cell)."
} >"$out.tmp" && mv "$out.tmp" "$out"
tail -1 "$out"
[ "$unknown" -eq 0 ]
