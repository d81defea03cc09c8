#!/usr/bin/env bash
# Configures and builds one build folder: build.sh FOLDER [cmake options...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
cmake -S "$here" -B "$here/$dir" -G Ninja "$@" >/dev/null
cmake --build "$here/$dir" -j"$(nproc)"
