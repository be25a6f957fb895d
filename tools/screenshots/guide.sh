#!/usr/bin/env bash
# Runs the desktop program under a virtual X server on the samples, opens
# the guide with F1 and ﾍﾙﾌﾟ → バージョン情報 with the keyboard as a user
# would, and writes docs/help-window.png and docs/about.png. Needs Xvfb,
# xdotool and ImageMagick; uses the build in $LOMI_BUILD_DIR (default build/).
set -euo pipefail
screen=1280x960
# shellcheck source=tools/screenshots/virtual_display.sh
source "$(dirname "$0")/virtual_display.sh"
cp -r "$root/samples" "$work/samples"
start_lomi "$work/samples"

# F1: the guide at its first page; then its entry for 全パターン集計.
xdotool key --clearmodifiers F1
guide="$(xdotool search --sync --onlyvisible --name '^Lomi 使い方$' | head -1)"
xdotool windowsize "$guide" 1000 700
xdotool windowmove "$guide" 0 0
sleep 1
import -window "$guide" "$work/help.png"
xdotool windowfocus --sync "$guide"
xdotool key --clearmodifiers Escape

# ﾍﾙﾌﾟ(H) → バージョン情報(A).
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers alt+h
sleep 0.5
xdotool key a
about="$(xdotool search --sync --onlyvisible --name '^バージョン情報$' | head -1)"
xdotool windowmove "$about" 0 0
sleep 1
import -window "$about" "$work/about.png"

mkdir -p "$out"
convert "$work/help.png" -strip "$out/help-window.png"
convert "$work/about.png" -strip PNG8:"$out/about.png"
echo "written: $out/help-window.png $out/about.png"
