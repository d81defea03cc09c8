#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program window.
#   run.sh                 a demo project (made once, then reused) with a
#                          simulated module on a pseudo-terminal, so that a
#                          module comes online within seconds
#   run.sh PROJECT [...]   opens that project (.prj or .udl); no simulator;
#                          further options go to the program
# Without a display the window runs on a virtual one (Xvfb).
# The command-line round trip of zelnorctl is ./scripts/demo.sh.
# Its build folder uses precompiled headers and no compiler cache: the two do
# not pay together, and nothing else reuses a Release build.
# It builds only what it runs (no tests, no benchmarks) and tells in a few
# lines what it is doing; the compilers' output goes to build/run.log, which
# it names when a step fails.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/scripts/steps.sh"
mkdir -p "$here/build"
steps_log "$here/build/run.log"

step "Installing the Debian packages that are missing" "$here/scripts/deps.sh" run
step "Configuring the build folder build/" \
  cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZW_TESTS=OFF -DZW_BENCH=OFF \
    -DZW_USE_CCACHE=OFF -DZW_PCH=ON
step_build "Building the program, zelnorctl, the simulator and their files" "$here/build" program
bin="$here/build/bin"

wizard=("$bin/zelnor-wizard")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: the window runs on a virtual display (xvfb-run)." >&2
  wizard=(xvfb-run -a -s "-screen 0 1280x900x24" "$bin/zelnor-wizard")
fi

if [ $# -gt 0 ]; then
  exec "${wizard[@]}" "$@"
fi

data=${XDG_DATA_HOME:-$HOME/.local/share}/zelnor-wizard
project=$data/demo.prj
mkdir -p "$data"

. "$here/scripts/simulator.sh"
start_simulator "$bin"

if [ ! -f "$project" ]; then
  ctl() { "$bin/zelnorctl" "$@" >/dev/null; }
  echo "Making the demo project $project ..."
  ctl new "$project"
  ctl add "$project" '\\Project' plant
  ctl add "$project" '\\Project' plant
  ctl add "$project" '\\Project\Plant1' cabinet
  ctl add "$project" '\\Project\Plant1\Cabinet1' carrier
  ctl add-module "$project" '\\Project\Plant1\Cabinet1' 3 TT-201
  ctl add-module "$project" '\\Project\Plant1\Cabinet1\zelnor-carrier1' 33 FT-301
  ctl add-module "$project" '\\Project\Plant2' 65 LS-401
  # The simulated module itself, read into the project so that both agree.
  ctl upload "$project" --port "$port" --create
fi
echo "Opening $project; the simulated module answers on $port."
"${wizard[@]}" "$project" --port "$port"
