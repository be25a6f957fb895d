#!/usr/bin/env bash
# Installs the Debian 12 packages that building and checking the Debian
# package needs, when any is missing. Runs apt-get as root, or through sudo.
set -euo pipefail

packages=(
  dpkg-dev help2man gzip
  desktop-file-utils appstream lintian man-db
  xvfb xauth xdotool
)

"$(dirname "$0")/install-packages.sh" "${packages[@]}"
