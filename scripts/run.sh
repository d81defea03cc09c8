#!/usr/bin/env bash
# Installs what is missing, builds, and starts the demonstration: a simulated
# module on a pseudo-terminal and a short conversation with it.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/deps.sh"
"$here/scripts/build.sh" build -DCMAKE_BUILD_TYPE=Release
exec "$here/build/bin/zelnor-demo" "$@"
