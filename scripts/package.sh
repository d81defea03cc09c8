#!/usr/bin/env bash
# Builds the Debian package zelnor-wizard_VERSION_ARCH.deb in build-package/
# from a Release build without tests and benchmarks, and checks it with
# lintian. Install it with: sudo apt install ./build-package/zelnor-wizard_*.deb
#   package.sh FOLDER   packages the build folder FOLDER instead, as it is
#                       built (a test build, to check the packaging quickly;
#                       its libraries are shared, so that package carries them
#                       and CPack adds ldconfig calls lintian warns about)
# Nothing of the package runs as root: it has no maintainer scripts, and the
# desktop's own triggers update the menu, file types and icons.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/scripts/steps.sh"
out=$here/build-package
[ $# -eq 0 ] || out=$(cd "$1" && pwd)
mkdir -p "$out"
steps_log "$out/package.log"

step "Installing the Debian packages that are missing" "$here/scripts/deps.sh" package
if [ $# -eq 0 ]; then
  step "Configuring the build folder build-package/" \
    cmake -S "$here" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZW_TESTS=OFF -DZW_BENCH=OFF \
      -DZW_USE_CCACHE=OFF -DZW_PCH=ON
  step_build "Building the programs, their files, icons and manual pages" "$out" all
fi
rm -f "$out"/zelnor-wizard_*.deb
step "Making the package (cpack -G DEB)" cpack --config "$out/CPackConfig.cmake" -B "$out" -G DEB
deb=$(ls "$out"/zelnor-wizard_*.deb)
step "Checking it with lintian" lintian --fail-on error "$deb"
grep -E '^[EW]: ' "$steps_log_file" | sed 's/^/  lintian: /' || true
echo "The package: $deb"
