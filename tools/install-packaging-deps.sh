#!/usr/bin/env bash
# Installs the Debian 12 packages that building and checking the Debian
# package needs, when any is missing. Runs apt-get as root, or through sudo.
set -euo pipefail

packages=(
  dpkg-dev help2man gzip
  desktop-file-utils appstream lintian man-db
  xvfb xauth xdotool
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
