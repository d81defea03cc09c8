#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need,
# when any is missing. Safe to run again.
set -euo pipefail
packages=(
  cmake g++ ninja-build pkg-config ccache python3
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-svg-dev qt6-charts-dev
  libqt6sql6-sqlite libqt6sql6-psql libqt6printsupport6
  postgresql sqlite3 libsqlite3-dev poppler-utils fonts-dejavu-core xvfb xauth xdotool xclip
  # the reports' faces "Arial" and "Times New Roman" resolve to their metric twins
  fonts-liberation2
)
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
