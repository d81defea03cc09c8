# Sourced by the run scripts: start_simulator BIN-FOLDER starts a simulated
# two-channel module on a pseudo-terminal, sets $port to it and ends it when
# the script ends.
start_simulator() {
  local bin=$1
  simulator_out=$(mktemp)
  "$bin/zelnor-simulator" --family 7230 --type 6 --channels 2 >"$simulator_out" 2>&1 &
  simulator=$!
  trap 'kill "$simulator" 2>/dev/null || true; rm -f "$simulator_out"' EXIT
  port=""
  for _ in $(seq 50); do
    port=$(grep -o '/dev/[^ ]*' "$simulator_out" | head -n 1 || true)
    [ -n "$port" ] && break
    sleep 0.1
  done
  [ -n "$port" ] || { echo "The module simulator did not start." >&2; exit 1; }
}
