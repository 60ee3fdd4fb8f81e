# Shared by the end-to-end scripts: source it with the script's arguments
# (the tovrel-cli and tovrel-sim executables). It makes a port directory,
# starts simulators in it on request and stops them at exit.
cli=$1
sim=$2
dir=$(mktemp -d)
export TOVREL_PORT_DIR=$dir
# Restore points and update backups go into the scratch folder.
export XDG_DATA_HOME=$dir/data
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; rm -rf "$dir"; }
trap cleanup EXIT
fail=0
ok() { echo "ok: $1"; }
bad() { echo "FAIL: $1"; shift; printf '%s\n' "$@"; fail=1; }
check() { # name, expected status, actual status, output, pattern
  if [ "$2" != "$3" ] || ! grep -q -- "$5" <<<"$4"; then
    bad "$1 (status $3, wanted $2)" "$4"
  else
    ok "$1"
  fi
}
start_sim() { # port, tovrel-sim options...
  "$sim" --port "$1" "${@:2}" >"$dir/sim$1.log" 2>&1 & pids+=($!)
  for _ in $(seq 100); do [ -e "$dir/COM$1" ] && return; sleep 0.05; done
  echo "sim on $1 did not start"; exit 1
}
