#!/usr/bin/env bash
# Installs the Debian packages named as arguments that are not installed yet,
# with apt-get as root or through sudo; does nothing when all are there.
# Every script that needs a package calls this, so a fresh machine gets what
# the script uses. --no-recommends leaves out recommended packages.
set -euo pipefail
options=()
if [ "${1:-}" = --no-recommends ]; then
  options+=(--no-install-recommends)
  shift
fi
missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${options[@]}" "${missing[@]}" >/dev/null
