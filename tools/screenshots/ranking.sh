#!/usr/bin/env bash
# Runs the desktop program under a virtual X server on the bundled samples
# and a year of generated patterns of one rank (one of them with a planted
# edge), opens the pattern dialog and presses 全パターン, ticks 検証分割日, and
# writes the screenshots
# docs/pattern-dialog.png and docs/ranking-window.png. Needs Xvfb, xdotool
# and ImageMagick (installed when missing); uses the build in
# $LOMI_BUILD_DIR (default build/).
set -euo pipefail
screen=1280x800
# shellcheck source=tools/screenshots/virtual_display.sh
source "$(dirname "$0")/virtual_display.sh"

# The samples in a data folder of their own, as a user keeps them.
data="$work/競馬データ"
mkdir -p "$data"
cp "$root"/samples/*.txt "$data/"
[ -x "$build/tools/sample_generator/lomi-make-samples" ] || {
  echo "no $build/tools/sample_generator/lomi-make-samples: build first" >&2; exit 1; }
"$build/tools/sample_generator/lomi-make-samples" "$data" --from 2001-01-06 --to 2001-12-31 \
  --seed 5 -p T3FN T3RN T3ZN T3WN T3PN T3QN F3TN F3RN F3ZN F3WN F3PN F3QN --edge F3PN:40 \
  >/dev/null
start_lomi "$data"

# The pattern dialog; the focus starts on ｷｬﾝｾﾙ, then OK, then 全パターン.
xdotool key --clearmodifiers ctrl+o
dialog="$(xdotool search --sync --onlyvisible --name 'ﾌｧｲﾙを開く' | head -1)"
sleep 0.5
import -window "$dialog" "$work/dialog.png"
xdotool key Tab Tab space
ranking="$(xdotool search --sync --onlyvisible --name '全パターン集計' | head -1)"
xdotool windowmove "$ranking" 0 0
xdotool windowsize "$ranking" 1240 560
sleep 2
# 検証分割日: the date starts inside the data; ticking it adds 後期回収率.
xdotool mousemove --window "$ranking" 280 22 click 1
sleep 3
import -window "$ranking" "$work/ranking.png"

mkdir -p "$out"
for name in dialog:pattern-dialog ranking:ranking-window; do
  convert "$work/${name%%:*}.png" -strip PNG8:"$out/${name#*:}.png"
done
echo "written: $out/pattern-dialog.png $out/ranking-window.png"
