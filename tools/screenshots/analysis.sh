#!/usr/bin/env bash
# Runs the desktop program under a virtual X server on five generated years
# of the pattern Q1RN, opens 分析(A) → 内訳... and 損益グラフ... with the
# keyboard as a user would, and writes docs/breakdown.png and
# docs/profit-chart.png. Needs Xvfb, xdotool and ImageMagick; uses the build
# in $LOMI_BUILD_DIR (default build/).
set -euo pipefail
cd "$(dirname "$0")/../.."
root="$PWD"
build="${LOMI_BUILD_DIR:-build}"
out="${1:-$root/docs}"
[ -x "$build/src/lomi" ] || { echo "no $build/src/lomi: build first" >&2; exit 1; }
[ -x "$build/tools/sample_generator/lomi-make-samples" ] || {
  echo "no $build/tools/sample_generator/lomi-make-samples: build first" >&2; exit 1; }
for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || "$root/tools/install-deps.sh"
done

work="$(mktemp -d)"
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
cp "$build/src/lomi" "$work/lomi"
"$build/tools/sample_generator/lomi-make-samples" "$work/data" --from 2001-01-01 --years 5 \
  -p Q1RN >/dev/null

display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x960x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

# No Lomi.ini: the data folder is the current directory, the pattern Q1RN.
(cd "$work/data" && exec env -u QT_QPA_PLATFORM "$work/lomi") &
app_pid=$!
main="$(xdotool search --sync --onlyvisible --name 'Ver 1\.02' | head -1)"
xdotool windowmove "$main" 0 0
xdotool windowfocus --sync "$main"
sleep 0.5

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
