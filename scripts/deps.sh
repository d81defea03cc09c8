#!/usr/bin/env bash
# Installs the Debian packages that are missing, when any is. Safe to run
# again.
#   deps.sh          what the build, the program and every test need
#   deps.sh run      only what building and running the program needs (the
#                    run command's first start on a fresh machine)
#   deps.sh package  the above and what scripts/package.sh needs
#   deps.sh fuzz     what building the program needs, and clang with
#                    libFuzzer for scripts/fuzz.sh
set -euo pipefail
run_packages=(
  cmake g++ ninja-build pkg-config ccache python3
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-svg-dev qt6-charts-dev
  libqt6sql6-sqlite libqt6sql6-psql libqt6printsupport6
  # the reader of projects of the older tool (Jet 4 files)
  libmdb3 mdbtools-dev
  # instrument lists as XLSX workbooks: written by libxlsxwriter, read through libzip
  libxlsxwriter-dev libzip-dev
  sqlite3 fonts-dejavu-core xvfb xauth
  # Qt's own texts (the Yes, No and Cancel of a question) in the chosen language
  qt6-translations-l10n
  # the reports' faces "Arial" and "Times New Roman" resolve to their metric twins
  fonts-liberation2
)
test_packages=(
  postgresql libsqlite3-dev poppler-utils xdotool xclip
  # projects of the older tool (Jet 4 files) and the programs that check the tests' ones
  mdbtools
  # the installed menu entry, file types and software-centre description are checked
  desktop-file-utils appstream shared-mime-info
  # what a desktop says a file is and what opens it
  xdg-utils libglib2.0-bin
  # the manual pages are read through man and lexgrog
  man-db
  # the workbooks the program writes are read, and the ones it reads written, by an independent reader
  python3-openpyxl
)
fuzz_packages=(clang-14 libfuzzer-14-dev)
package_packages=(dpkg-dev lintian)
# hardening-check, which the package test runs on the programs
package_packages+=(devscripts)
case "${1:-test}" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  package) packages=("${run_packages[@]}" "${test_packages[@]}" "${package_packages[@]}") ;;
  fuzz) packages=("${run_packages[@]}" "${fuzz_packages[@]}") ;;
  *) echo "usage: deps.sh [run|test|package|fuzz]" >&2; exit 2 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
