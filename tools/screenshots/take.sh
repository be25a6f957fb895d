#!/usr/bin/env bash
# Runs the desktop program under a virtual X server on the bundled samples,
# drives it with the keyboard as a user would, and writes the screenshots
# docs/main-window.png, docs/pattern-dialog.png, docs/report.png,
# docs/folder-settings.png and docs/folder-browser.png.
# Needs Xvfb, xdotool and ImageMagick; uses the build in $LOMI_BUILD_DIR
# (default build/).
set -euo pipefail
# shellcheck source=tools/screenshots/virtual_display.sh
source "$(dirname "$0")/virtual_display.sh"

# The samples in a data folder of their own, beside a few other folders, so
# that the folder browser shows a tree like a user's.
data="$work/競馬データ/Tolvik"
mkdir -p "$data" "$work/競馬データ/Tolvik/2001年" "$work/競馬データ/Tolvik/練習用"
cp "$root"/samples/*.txt "$data/"

# A first run without Lomi.ini: the data folder is the current directory.
start_lomi "$data"

# The pattern dialog, opened with Ctrl+O on the stored (default) pattern.
xdotool key --clearmodifiers ctrl+o
dialog="$(xdotool search --sync --onlyvisible --name 'ﾌｧｲﾙを開く' | head -1)"
sleep 0.5
import -window "$dialog" "$work/dialog.png"

# The focus starts on ｷｬﾝｾﾙ; Tab goes to OK, Space presses it.
xdotool key Tab space
sleep 1.5
import -window "$main" "$work/main.png"

# The report box: the client area starts below the menu bar, whose height is
# what the window has beyond the 237-pixel client area.
height="$(identify -format '%h' "$work/main.png")"
menu=$((height - 237))
convert "$work/main.png" -crop "412x96+4+$((105 + menu))" +repage "$work/report.png"

# The folder settings dialog from its menu (Alt+S, D); the focus starts on
# OK, and two Tabs reach "...", which opens the folder browser.
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers alt+s
sleep 0.5
xdotool key --clearmodifiers Return
settings="$(xdotool search --sync --onlyvisible --name 'ﾌｫﾙﾀﾞの設定' | head -1)"
sleep 0.5
import -window "$settings" "$work/settings.png"
xdotool key Tab Tab space
browser="$(xdotool search --sync --onlyvisible --name 'ﾌｫﾙﾀﾞの選択' | head -1)"
sleep 0.5
import -window "$browser" "$work/browser.png"

mkdir -p "$out"
for name in dialog:pattern-dialog main:main-window report:report settings:folder-settings \
  browser:folder-browser; do
  convert "$work/${name%%:*}.png" -strip PNG8:"$out/${name#*:}.png"
done
echo "written: $out/main-window.png $out/pattern-dialog.png $out/report.png" \
  "$out/folder-settings.png $out/folder-browser.png"
