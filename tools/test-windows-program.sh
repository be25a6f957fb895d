#!/usr/bin/env bash
# Usage: test-windows-program.sh BUILD DATA
# Runs lomi.exe of the deploy folder BUILD/deploy/Lomi under Wine on a
# virtual X display, as a user would: a copy of the folder with a Lomi.ini
# in code page 932 that names DATA (a folder with a Japanese name) and the
# pattern T5PB; opens the pattern with Ctrl+O and OK, checks that the
# report box shows the report of lomi-report.exe, ranks every pattern with
# 全パターン, lets the ranking finish, closes the program as Windows does
# (taskkill, as signing out or タスクの終了 do) and checks that lomi.exe has
# ended within 30 s and wrote its Lomi.ini. Then, on a generated folder of
# about 1,100 files of one pattern, prints how long the window takes from
# OK to its report against lomi-report.exe on the same pattern (figures,
# not a timed test). The Linux build ($LOMI_BUILD_DIR, default build/)
# provides the sample generator.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
[ $# -eq 2 ] || { echo "usage: $(basename "$0") BUILD DATA" >&2; exit 2; }
build="$(cd "$1" && pwd)"
data="$2"
linux="${LOMI_BUILD_DIR:-build}"
# shellcheck source=tools/wine-session.sh
source tools/wine-session.sh
fail() { echo "test-windows-program: $*" >&2; exit 1; }
program="$build/e2e/program"
app_pid=""
finish() {
  if [ -n "$app_pid" ]; then
    wine taskkill /f /im lomi.exe >/dev/null 2>&1 || true
    kill "$app_pid" 2>/dev/null || true
  fi
  stop_display
}
trap finish EXIT

# Starts a fresh copy of lomi.exe whose Lomi.ini names the data folder $1
# and the pattern T5PB, and waits for its main window, $main, focused on
# the tally button.
start_lomi() {
  rm -rf "$program"
  cp -r "$build/deploy/Lomi" "$program"
  write_windows_settings "$program" "$1" 1 5 6 2
  (cd "$program" && exec wine lomi.exe) &
  app_pid=$!
  main="$(wait_window 'Ver 1\.02' 90)"
  xdotool windowfocus --sync "$main"
}

# Closes lomi.exe as Windows asks a program to (WM_CLOSE to its windows)
# and prints how long it took to end; fails after 30 s.
close_lomi() {
  local started
  started="$(now_ms)"
  wine taskkill /im lomi.exe >/dev/null 2>&1 || true
  wait_process_gone "$app_pid" 30 || fail "lomi.exe still runs 30 s after taskkill $1"
  app_pid=""
  echo "lomi.exe ended $(( $(now_ms) - started )) ms after taskkill $1"
}

# Waits until lomi.exe has used at most a hundredth of a second of processor
# time in each of two half seconds (at most $1 seconds): the work it was
# given has finished, and only a blinking cursor may still draw.
wait_idle() {
  local deadline=$((SECONDS + $1)) before now quiet=0
  cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$app_pid/stat"; }
  before="$(cpu_ticks)"
  while [ $SECONDS -lt $deadline ]; do
    sleep 0.5
    now="$(cpu_ticks)"
    if [ $((now - before)) -le 1 ]; then quiet=$((quiet + 1)); else quiet=0; fi
    [ $quiet -ge 2 ] && return 0
    before="$now"
  done
  fail "lomi.exe was still busy after $1 s"
}

same_report() {
  diff <(grep -v '^ *$' "$1") <(grep -v '^ *$' "$2") >&2 || fail "the window's report is not lomi-report's"
}

start_display 1024x768

folder="$(windows_path "$data")"
start_lomi "$data"
load_stored_pattern "$build/e2e/window-report.txt"
wine "$program/lomi-report.exe" | tr -d '\r' >"$build/e2e/program-report.txt"
same_report "$build/e2e/program-report.txt" "$build/e2e/window-report.txt"

# 全パターン in the pattern dialog (two Tabs from ｷｬﾝｾﾙ); the ranking runs
# to its end, then the program is closed with its ranking window open.
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers ctrl+o
dialog="$(wait_window 'ﾌｧｲﾙを開く')"
xdotool windowfocus --sync "$dialog"
xdotool key Tab Tab space
wait_window '全パターン集計' >/dev/null
wait_idle 120
close_lomi "after a ranking"
saved="$(iconv -f CP932 -t UTF-8 "$program/Lomi.ini" | tr -d '\r')"
for line in "PATH=$folder" CON1=1 CON2=5 CON3=6 CON4=2; do
  grep -qxF "$line" <<<"$saved" || fail "Lomi.ini lacks $line: $saved"
done
echo "lomi.exe loaded T5PB from $folder, showed its report, ranked every pattern," \
  "closed when asked and saved Lomi.ini in code page 932"

# The figures: a folder of generated files of one pattern, opened in the
# window (a fresh program each time, so that the report box starts empty)
# and reported by lomi-report.exe.
generator="$linux/tools/sample_generator/lomi-make-samples"
if [ ! -x "$generator" ]; then
  [ -f "$linux/CMakeCache.txt" ] || cmake -S . -B "$linux" -DLOMI_BUILD_GUI=OFF >/dev/null
  cmake --build "$linux" --target lomi-make-samples -j "$(nproc)" >/dev/null
fi
large="$build/e2e/大量データ"
rm -rf "$large"
"$generator" "$large" --from 2001-01-01 --years 10 --seed 3 -p T5PB >/dev/null
files="$(find "$large" -name '*T5PB.txt' | wc -l)"
window_times=()
report_times=()
for _ in 1 2 3; do
  start_lomi "$large"
  load_stored_pattern "$build/e2e/large-window.txt"
  window_times+=("$load_ms")
  close_lomi "after a load of $files files" >/dev/null
  started="$(now_ms)"
  wine "$program/lomi-report.exe" | tr -d '\r' >"$build/e2e/large-report.txt"
  report_times+=("$(( $(now_ms) - started ))")
  same_report "$build/e2e/large-report.txt" "$build/e2e/large-window.txt"
done
echo "T5PB of $files files under Wine: window OK → report ${window_times[*]} ms;" \
  "lomi-report.exe ${report_times[*]} ms (the window's times include up to 0.2 s of polling)"
