#!/usr/bin/env bash
# The command-line demonstration: a simulated two-channel module on a
# pseudo-terminal, and a whole commissioning round trip with zelnorctl on a
# new demo project: upload, a change, download, compare.
# demo.sh BIN-FOLDER [PROJECT]
set -euo pipefail
bin=$1
project=${2:-${TMPDIR:-/tmp}/zelnor-demo.prj}
ctl="$bin/zelnorctl"

. "$(dirname "$0")/simulator.sh"
start_simulator "$bin"

step() { printf '\n\033[1m$ %s\033[0m\n' "$*"; "$@" 2>&1 | grep -v -E '^(  |---|SYSTEM INFORMATION|$)' || true; }

rm -f "$project"
module='\\Project\7230/211-2 - [TT-101] [TT-102]'
step "$ctl" new "$project"
step "$ctl" upload "$project" --port "$port" --create
step "$ctl" tree "$project"
step "$ctl" set "$project" "$module" --channel 2 RangeEnd=120 Relay1ActiveRangeValue=75
step "$ctl" compare "$project" --port "$port"
step "$ctl" download "$project" "$module" --port "$port"
step "$ctl" compare "$project" --port "$port"
step "$ctl" monitor --port "$port" --count 3
printf '\nThe demo project is %s; the simulated module answered on %s.\n' "$project" "$port"
