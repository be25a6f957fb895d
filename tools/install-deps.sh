#!/usr/bin/env bash
# Installs the Debian 12 packages Lomi needs to build, test and run, when any
# is missing. Runs apt-get as root, or through sudo.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev
  qt6-translations-l10n
  fonts-ipafont-gothic
  xvfb xauth imagemagick xdotool
)

"$(dirname "$0")/install-packages.sh" "${packages[@]}"
