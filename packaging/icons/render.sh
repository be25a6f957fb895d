#!/usr/bin/env bash
# Renders the icon's PNG sizes from the SVG (run after changing the SVG).
set -euo pipefail
cd "$(dirname "$0")"
if ! command -v rsvg-convert >/dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq librsvg2-bin >/dev/null
fi
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" org.lomi.Lomi.svg -o "org.lomi.Lomi-$size.png"
done
