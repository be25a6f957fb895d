#!/usr/bin/env bash
# Runs the desktop program under a virtual X server on the bundled samples
# and a year of generated patterns of one rank (one of them with a planted
# edge), opens the pattern dialog and presses 全パターン, ticks 検証分割日 in the
# ranking window at its default size (the dialog stays open), then opens a
# pattern and tallies it under another 馬場 so that the ranking marks itself
# out of date, and writes the screenshots docs/pattern-dialog.png,
# docs/ranking-window.png and docs/ranking-out-of-date.png. Needs Xvfb, xdotool
# and ImageMagick (installed when missing); uses the build in
# $LOMI_BUILD_DIR (default build/).
set -euo pipefail
screen=1366x800
# shellcheck source=tools/screenshots/virtual_display.sh
source "$(dirname "$0")/virtual_display.sh"

# The samples in a data folder of their own, as a user keeps them.
data="$work/競馬データ"
mkdir -p "$data"
cp "$root"/samples/*.txt "$data/"
[ -x "$build/tools/sample_generator/lomi-make-samples" ] || {
  echo "no $build/tools/sample_generator/lomi-make-samples: build first" >&2; exit 1; }
"$build/tools/sample_generator/lomi-make-samples" "$data" --from 2001-01-06 --to 2001-12-31 \
  --seed 5 -p T3FN T3RN T3ZN T3WN T3PN T3QN F3TN F3RN F3ZN F3WN F3PN F3QN --edge F3PN:60 \
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
sleep 2
# 検証分割日 (Alt+D): the date starts inside the data; ticking it adds 後期回収率.
# The ranking takes input while the pattern dialog is open.
xdotool windowfocus --sync "$ranking"
xdotool key --clearmodifiers alt+d
sleep 3
import -window "$ranking" "$work/ranking.png"

# OK (before 全パターン, which has the focus) opens the stored pattern; then 馬場 by the keyboard: a
# click in the report box, Tab past 開く and 開催 to 馬場, Down for 芝, and
# back to 上記の条件で抽出／集計.
xdotool windowfocus --sync "$dialog"
xdotool key --clearmodifiers shift+Tab space
sleep 2
xdotool windowraise "$main"
xdotool windowfocus --sync "$main"
height=$(xdotool getwindowgeometry "$main" | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p')
xdotool mousemove --window "$main" 300 $((height - 60)) click 1
xdotool key --clearmodifiers Tab Tab Tab Down
xdotool key --clearmodifiers shift+Tab shift+Tab shift+Tab shift+Tab space
sleep 1
xdotool windowraise "$ranking"
sleep 1
import -window "$ranking" "$work/stale.png"

mkdir -p "$out"
for name in dialog:pattern-dialog ranking:ranking-window stale:ranking-out-of-date; do
  convert "$work/${name%%:*}.png" -strip PNG8:"$out/${name#*:}.png"
done
echo "written: $out/pattern-dialog.png $out/ranking-window.png $out/ranking-out-of-date.png"
