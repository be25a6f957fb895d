#!/usr/bin/env bash
# Installs what is missing, builds, and starts Lomi on the bundled samples.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh
root="$PWD"
cd samples
if [ -x "$root/build/src/lomi" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec "$root/build/src/lomi" "$@"
fi
echo "No display found: showing the report of the default pattern with lomi-report instead."
echo "(Run this on a desktop, or under 'xvfb-run tools/run.sh', to see the window.)"
exec "$root/build/src/lomi-report" --pattern Q1RN
