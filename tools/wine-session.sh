# shellcheck shell=bash
# Sourced by the Windows test, package and screenshot scripts, with $root
# set to the repository and $build to the Windows build folder: a private
# Wine prefix in $build/wineprefix (no window, no offer to install Mono or
# Gecko, no menu entries on the host for what an installer puts in its Start
# menu) with the IPA fonts in its Fonts folder, so that Japanese text
# renders; functions to run programs under Wine, to wait for their windows
# and processes, and a virtual X display for the window program.
: "${root:?the sourcing script sets root}" "${build:?the sourcing script sets build}"
"$root/tools/install-packages.sh" --no-recommends wine wine64 fonts-ipafont-gothic xvfb xauth \
  xdotool xclip imagemagick unzip

export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot --init >/dev/null 2>&1
fi
# No window manager runs on the virtual display. Wine's X driver would wait
# up to 2 s for one at every window that is hidden (the pattern dialog after
# OK, the progress window), holding up the program's window thread each
# time; on Windows no such wait exists. Told that no manager is there,
# Wine waits for none, and draws the window frames itself as Windows does.
if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -w
fi
ipa_fonts=/usr/share/fonts/opentype/ipafont-gothic
fonts="$WINEPREFIX/drive_c/windows/Fonts"
for font in "$ipa_fonts"/*.ttf; do
  [ -f "$fonts/$(basename "$font")" ] || cp "$font" "$fonts/"
done

windows_path() { winepath -w "$1" 2>/dev/null; }

# Writes the Lomi.ini that the Windows programs read beside themselves, in
# code page 932 with CR LF: folder $1 gets the data folder $2 (a path of
# this machine, stored as Windows sees it) and the pattern CON1..CON4 = $3..$6.
write_windows_settings() {
  printf '[DEF]\r\nPATH=%s\r\nCON1=%s\r\nCON2=%s\r\nCON3=%s\r\nCON4=%s\r\n' \
    "$(windows_path "$2")" "$3" "$4" "$5" "$6" | iconv -f UTF-8 -t CP932 >"$1/Lomi.ini"
}

# Qt's offscreen platform draws with FreeType from this folder; Wine hands
# WINEQT_* variables to the program without the WINE prefix.
offscreen() {
  WINEQT_QPA_PLATFORM=offscreen WINEQT_QPA_FONTDIR="$(windows_path "$ipa_fonts")" "$@"
}

# A virtual X server for the window program, on a display number that the
# server itself finds free (-displayfd), so that scripts running at the same
# time never share one. Wine's desktop process binds to the display it
# started with, so the prefix's programs all end first, when the display
# comes and when it goes.
xvfb_pid=""
start_display() {
  wineserver -w
  local number_file number="" deadline=$((SECONDS + 30))
  number_file="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  while [ $SECONDS -lt $deadline ]; do
    number="$(tr -dc '0-9' <"$number_file")"
    [ -n "$number" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$number_file"
  if [ -z "$number" ]; then
    echo "Xvfb did not start within 30 s" >&2
    return 1
  fi
  export DISPLAY=":$number"
  while [ $SECONDS -lt $deadline ]; do
    xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb on $DISPLAY does not answer" >&2
  return 1
}
stop_display() {
  if [ -n "${DISPLAY:-}" ]; then wineserver -k 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  xvfb_pid=""
  unset DISPLAY
}

# Waits until process $1 has ended (at most $2 seconds, default 30);
# fails when it still runs then.
wait_process_gone() {
  local deadline=$((SECONDS + ${2:-30}))
  while kill -0 "$1" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
}

# Milliseconds since the epoch, for the figures the scripts print.
now_ms() { date +%s%3N; }

# Waits for a visible window whose title matches $1 (at most $2 seconds,
# default 60) and prints its id.
wait_window() {
  local deadline=$((SECONDS + ${2:-60})) id
  while [ $SECONDS -lt $deadline ]; do
    id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)" || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "no window '$1' within ${2:-60} s" >&2
  return 1
}

# Waits until no visible window's title matches $1 (at most 30 seconds).
wait_window_gone() {
  local deadline=$((SECONDS + 30))
  while [ $SECONDS -lt $deadline ]; do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  echo "window '$1' still open after 30 s" >&2
  return 1
}

# In the main window $main, its focus on the tally button: Ctrl+O opens the
# pattern dialog on the stored pattern, its focus starts on ｷｬﾝｾﾙ, Tab goes
# to OK and Space presses it. Returns once the report shows (the box after
# the tally button in the tab order, copied through the clipboard that Wine
# shares with X), written to file $1 when given, and sets load_ms to the
# milliseconds from OK to the report. The report box must start empty.
# shellcheck disable=SC2034 # load_ms is read by the scripts that source this file
load_stored_pattern() {
  : "${main:?the id of the main window}"
  local dialog pressed marker=lomi-no-report-yet text deadline=$((SECONDS + 120))
  xdotool windowfocus --sync "$main"
  xdotool key --clearmodifiers ctrl+o
  dialog="$(wait_window 'ﾌｧｲﾙを開く')"
  xdotool windowfocus --sync "$dialog"
  printf '%s' "$marker" | xclip -selection clipboard
  # The focus starts on ｷｬﾝｾﾙ; Tab goes to OK, Space presses it.
  xdotool key Tab
  pressed="$(now_ms)"
  xdotool key space
  wait_window_gone 'ﾌｧｲﾙを開く'
  while [ $SECONDS -lt $deadline ]; do
    xdotool windowfocus --sync "$main"
    # Into the report box, copy, and back to the tally button.
    xdotool key Tab ctrl+a ctrl+c shift+Tab
    text="$(xclip -o -selection clipboard 2>/dev/null)" || text=""
    if [ -n "$text" ] && [ "$text" != "$marker" ]; then
      load_ms=$(( $(now_ms) - pressed ))
      if [ -n "${1:-}" ]; then tr -d '\r' <<<"$text" >"$1"; fi
      return 0
    fi
    sleep 0.05
  done
  echo "no report in the main window 120 s after OK" >&2
  return 1
}

