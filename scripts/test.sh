#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, warnings as errors, and runs every test.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/deps.sh"
"$here/scripts/build.sh" build-test -DCMAKE_BUILD_TYPE=Debug -DZW_SANITIZE=ON -DZW_WERROR=ON
cd "$here/build-test"
ctest --output-on-failure -j2 --timeout 600
