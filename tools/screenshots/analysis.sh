#!/usr/bin/env bash
# Runs the desktop program under a virtual X server on five generated years
# of the pattern Q1RN, opens 分析(A) → 内訳... and 損益グラフ... with the
# keyboard as a user would, and writes docs/breakdown.png and
# docs/profit-chart.png. Needs Xvfb, xdotool and ImageMagick; uses the build
# in $LOMI_BUILD_DIR (default build/).
set -euo pipefail
screen=1280x960
# shellcheck source=tools/screenshots/virtual_display.sh
source "$(dirname "$0")/virtual_display.sh"
[ -x "$build/tools/sample_generator/lomi-make-samples" ] || {
  echo "no $build/tools/sample_generator/lomi-make-samples: build first" >&2; exit 1; }
"$build/tools/sample_generator/lomi-make-samples" "$work/data" --from 2001-01-01 --years 5 \
  -p Q1RN >/dev/null

# No Lomi.ini: the data folder is the current directory, the pattern Q1RN.
start_lomi "$work/data"

# Load the pattern: Ctrl+O, then OK (Tab from ｷｬﾝｾﾙ, Space).
xdotool key --clearmodifiers ctrl+o
xdotool search --sync --onlyvisible --name 'ﾌｧｲﾙを開く' >/dev/null
sleep 0.5
xdotool key Tab space
sleep 2

# 分析(A) → 内訳...
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers alt+a
sleep 0.5
xdotool key Return
breakdown="$(xdotool search --sync --onlyvisible --name '^内訳$' | head -1)"
xdotool windowsize "$breakdown" 1100 400
xdotool windowmove "$breakdown" 0 0
sleep 1
import -window "$breakdown" "$work/breakdown.png"

# 分析(A) → 損益グラフ...
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers alt+a
sleep 0.5
xdotool key Down Return
chart="$(xdotool search --sync --onlyvisible --name '^損益グラフ$' | head -1)"
xdotool windowsize "$chart" 900 600
xdotool windowmove "$chart" 0 0
sleep 1
import -window "$chart" "$work/chart.png"

mkdir -p "$out"
convert "$work/breakdown.png" -strip PNG8:"$out/breakdown.png"
convert "$work/chart.png" -strip "$out/profit-chart.png"
echo "written: $out/breakdown.png $out/profit-chart.png"
