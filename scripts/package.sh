#!/usr/bin/env bash
# Builds the Debian package zelnor-wizard_VERSION_ARCH.deb in build-package/
# from a Release build without tests and benchmarks, and checks it with
# lintian. Install it with: apt install ./build-package/zelnor-wizard_*.deb
# (as root, or with sudo).
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
# The dates in the package (file times, changelog, release, manual pages) are
# those of the last commit: two runs on one commit give the same bytes.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && commit_time=$(git -C "$here" log -1 --format=%ct 2>/dev/null); then
  export SOURCE_DATE_EPOCH=$commit_time
fi
if [ $# -eq 0 ]; then
  # Debian's own compiler and linker flags: stack protector, FORTIFY,
  # read-only relocations bound at start, and source paths mapped out of the
  # binaries. No -g: the package's programs are stripped anyway.
  cd "$here"
  eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP=-g dpkg-buildflags --export=sh)"
  step "Configuring the build folder build-package/" \
    cmake -S "$here" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZW_TESTS=OFF -DZW_BENCH=OFF \
      -DZW_USE_CCACHE=OFF -DZW_PCH=ON "-DCMAKE_CXX_FLAGS=$CPPFLAGS $CXXFLAGS" \
      "-DCMAKE_EXE_LINKER_FLAGS=$LDFLAGS" "-DCMAKE_SHARED_LINKER_FLAGS=$LDFLAGS"
  step_build "Building the programs, their files, icons and manual pages" "$out" all
fi
rm -f "$out"/zelnor-wizard_*.deb
step "Making the package (cpack -G DEB)" cpack --config "$out/CPackConfig.cmake" -B "$out" -G DEB
deb=$(ls "$out"/zelnor-wizard_*.deb)
step "Checking it with lintian" lintian --pedantic --display-info --tag-display-limit 0 --fail-on error "$deb"
grep -E '^[EWIP]: ' "$steps_log_file" | sed 's/^/  lintian: /' || true
echo "The package: $deb"
