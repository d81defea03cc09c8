#!/usr/bin/env bash
# Installs what is missing, builds, and starts the demonstration: a simulated
# module on a pseudo-terminal and a commissioning round trip with zelnorctl.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/deps.sh"
"$here/scripts/build.sh" build -DCMAKE_BUILD_TYPE=Release
exec "$here/scripts/demo.sh" "$here/build/bin" "$@"
