#!/usr/bin/env bash
# Usage: test-windows-program.sh BUILD DATA
# Runs lomi.exe of the deploy folder BUILD/deploy/Lomi under Wine on a
# virtual X display, as a user would: a copy of the folder with a Lomi.ini
# in code page 932 that names DATA (a folder with a Japanese name) and the
# pattern T5PB; opens the pattern with Ctrl+O and OK, checks that the
# report box shows the report of lomi-report.exe, asks the window to close
# and checks the Lomi.ini that it wrote.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="$(cd "$1" && pwd)"
data="$2"
source tools/wine-session.sh
program="$build/e2e/program"
app_pid=""
finish() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  stop_display
}
trap finish EXIT

rm -rf "$program"
cp -r "$build/deploy/Lomi" "$program"
folder="$(windows_path "$data")"
write_windows_settings "$program" "$data" 1 5 6 2

start_display 1024x768
(cd "$program" && exec wine lomi.exe) &
app_pid=$!
main="$(wait_window 'Ver 1\.02' 90)"
xdotool windowfocus --sync "$main"
sleep 1

load_stored_pattern

# The report box (after the tally button in the tab order) copied through
# the clipboard, which Wine shares with X.
xdotool windowfocus --sync "$main"
xdotool key Tab ctrl+a ctrl+c
sleep 1
xclip -o -selection clipboard | tr -d '\r' >"$build/e2e/window-report.txt"
wine "$program/lomi-report.exe" | tr -d '\r' >"$build/e2e/program-report.txt"
if ! diff <(grep -v '^ *$' "$build/e2e/program-report.txt") \
  <(grep -v '^ *$' "$build/e2e/window-report.txt") >&2; then
  echo "the window's report is not lomi-report's" >&2
  exit 1
fi

# Closing as Windows asks a program to (WM_CLOSE): the settings are saved.
wine taskkill /im lomi.exe >/dev/null 2>&1
for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$app_pid" 2>/dev/null; then
  echo "lomi.exe did not close when asked" >&2
  exit 1
fi
app_pid=""
saved="$(iconv -f CP932 -t UTF-8 "$program/Lomi.ini" | tr -d '\r')"
for line in "PATH=$folder" CON1=1 CON2=5 CON3=6 CON4=2; do
  grep -qxF "$line" <<<"$saved" || { echo "Lomi.ini lacks $line:" >&2; echo "$saved" >&2; exit 1; }
done
echo "lomi.exe loaded T5PB from $folder, showed its report and saved Lomi.ini in code page 932"
