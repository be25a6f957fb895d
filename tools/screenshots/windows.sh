#!/usr/bin/env bash
# Runs lomi.exe of the Windows deploy folder (tools/build-windows.sh) under
# Wine on a virtual X display, drives it with the keyboard as a user would,
# and writes docs/windows-main-window.png, docs/windows-pattern-dialog.png,
# docs/windows-ranking-window.png and docs/windows-profit-chart.png.
# The profit chart shows five generated years of Q1RN when the Linux build
# ($LOMI_BUILD_DIR, default build/) has the sample generator, else the
# bundled samples.
set -euo pipefail
cd "$(dirname "$0")/../.."
root="$PWD"
build="$(cd "${LOMI_WINDOWS_BUILD_DIR:-build-windows}" && pwd)"
out="${1:-$root/docs}"
[ -f "$build/deploy/Lomi/lomi.exe" ] || { echo "no $build/deploy/Lomi/lomi.exe: run tools/build-windows.sh" >&2; exit 1; }
source tools/wine-session.sh
work="$(mktemp -d)"
app_pid=""
finish() {
  if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; fi
  wineserver -k 2>/dev/null || true
  stop_display
  rm -rf "$work"
}
trap finish EXIT

# Starts a copy of lomi.exe whose Lomi.ini (code page 932) names the data
# folder $1, and waits for its main window, $main.
start_lomi() {
  rm -rf "$work/Lomi"
  cp -r "$build/deploy/Lomi" "$work/Lomi"
  write_windows_settings "$work/Lomi" "$1" 7 1 3 1
  (cd "$work/Lomi" && exec wine lomi.exe) &
  app_pid=$!
  main="$(wait_window 'Ver 1\.02' 90)"
  xdotool windowmove "$main" 0 0
  xdotool windowfocus --sync "$main"
  sleep 1
}
stop_lomi() {
  # Forced: a window with a modal dialog over it does not close when asked.
  wine taskkill /f /im lomi.exe >/dev/null 2>&1 || true
  wait "$app_pid" 2>/dev/null || true
  app_pid=""
}
shot() { sleep "${3:-1}"; import -window "$1" "$work/$2.png"; }

start_display 1280x800
data="$work/競馬データ"
mkdir -p "$data"
cp samples/*.txt "$data/"
start_lomi "$data"

# The pattern dialog on the stored pattern; the focus starts on ｷｬﾝｾﾙ, Tab
# goes to OK, Space loads the pattern.
xdotool key --clearmodifiers ctrl+o
dialog="$(wait_window 'ﾌｧｲﾙを開く')"
shot "$dialog" pattern-dialog
xdotool windowfocus --sync "$dialog"
xdotool key Tab space
wait_window_gone 'ﾌｧｲﾙを開く'
shot "$main" main-window 2

# 全パターン in the pattern dialog (two Tabs from ｷｬﾝｾﾙ).
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers ctrl+o
dialog="$(wait_window 'ﾌｧｲﾙを開く')"
xdotool windowfocus --sync "$dialog"
xdotool key Tab Tab space
ranking="$(wait_window '全パターン集計')"
xdotool windowmove "$ranking" 0 0
xdotool windowsize "$ranking" 1180 400
shot "$ranking" ranking-window 3
stop_lomi

# The profit chart: 分析(A), its second entry.
chart_data="$data"
generator="${LOMI_BUILD_DIR:-build}/tools/sample_generator/lomi-make-samples"
if [ -x "$generator" ]; then
  chart_data="$work/年間データ"
  "$generator" "$chart_data" --from 2001-01-01 --years 5 -p Q1RN >/dev/null
fi
start_lomi "$chart_data"
load_stored_pattern ""
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers alt+a
sleep 0.5
xdotool key Down Return
chart="$(wait_window '^損益グラフ$')"
xdotool windowmove "$chart" 0 0
xdotool windowsize "$chart" 900 600
shot "$chart" profit-chart 2
stop_lomi

mkdir -p "$out"
for name in main-window pattern-dialog ranking-window; do
  convert "$work/$name.png" -strip PNG8:"$out/windows-$name.png"
done
convert "$work/profit-chart.png" -strip "$out/windows-profit-chart.png"
echo "written: $out/windows-main-window.png $out/windows-pattern-dialog.png" \
  "$out/windows-ranking-window.png $out/windows-profit-chart.png"
