#!/usr/bin/env bash
# Runs the desktop program under a virtual X server on the bundled samples,
# opens the pattern dialog and presses 全パターン, and writes the screenshots
# docs/pattern-dialog.png and docs/ranking-window.png. Needs Xvfb, xdotool
# and ImageMagick (installed when missing); uses the build in
# $LOMI_BUILD_DIR (default build/).
set -euo pipefail
cd "$(dirname "$0")/../.."
root="$PWD"
build="${LOMI_BUILD_DIR:-build}"
out="${1:-$root/docs}"
[ -x "$build/src/lomi" ] || { echo "no $build/src/lomi: build first" >&2; exit 1; }
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null || ! command -v convert >/dev/null; then
  apt-get install -y --no-install-recommends xvfb xdotool imagemagick
fi

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

display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

(cd "$root/samples" && exec env -u QT_QPA_PLATFORM "$work/lomi") &
app_pid=$!

main="$(xdotool search --sync --onlyvisible --name 'Ver 1\.02' | head -1)"
xdotool windowmove "$main" 0 0
xdotool windowfocus --sync "$main"
sleep 0.5

# The pattern dialog; the focus starts on ｷｬﾝｾﾙ, then OK, then 全パターン.
xdotool key --clearmodifiers ctrl+o
dialog="$(xdotool search --sync --onlyvisible --name 'ﾌｧｲﾙを開く' | head -1)"
sleep 0.5
import -window "$dialog" "$work/dialog.png"
xdotool key Tab Tab space
ranking="$(xdotool search --sync --onlyvisible --name '全パターン集計' | head -1)"
xdotool windowmove "$ranking" 0 0
xdotool windowsize "$ranking" 1180 300
sleep 2
import -window "$ranking" "$work/ranking.png"

mkdir -p "$out"
for name in dialog:pattern-dialog ranking:ranking-window; do
  convert "$work/${name%%:*}.png" -strip PNG8:"$out/${name#*:}.png"
done
echo "written: $out/pattern-dialog.png $out/ranking-window.png"
