# Sourced by the Windows test, package and screenshot scripts, with $build
# set to the Windows build folder: a private Wine prefix in $build/wineprefix
# (no window, no offer to install Mono or Gecko) with the IPA fonts in its
# Fonts folder, so that Japanese text renders; functions to run programs
# under Wine, and a virtual X display for the window program.
"$root/tools/install-packages.sh" --no-recommends wine wine64 fonts-ipafont-gothic xvfb xauth \
  xdotool xclip imagemagick unzip

export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot --init >/dev/null 2>&1
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

# A virtual X server for the window program. Wine's desktop process binds
# to the display it started with, so the prefix's programs all end first,
# when the display comes and when it goes.
xvfb_pid=""
start_display() {
  wineserver -w
  local display=":$((200 + RANDOM % 100))"
  Xvfb "$display" -screen 0 "${1:-1024x768}x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY="$display"
  for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && return; sleep 0.1; done
  echo "Xvfb did not start on $display" >&2
  return 1
}
stop_display() {
  [ -n "${DISPLAY:-}" ] && wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
  unset DISPLAY
}

# Waits for a visible window whose title matches $1 (at most $2 seconds,
# default 60) and prints its id.
wait_window() {
  local deadline=$((SECONDS + ${2:-60})) id
  while [ $SECONDS -lt $deadline ]; do
    id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)" || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.3
  done
  echo "no window '$1' within ${2:-60} s" >&2
  return 1
}

# Waits until no visible window's title matches $1 (at most 30 seconds).
wait_window_gone() {
  local deadline=$((SECONDS + 30))
  while [ $SECONDS -lt $deadline ]; do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.3
  done
  echo "window '$1' still open after 30 s" >&2
  return 1
}

# In the focused main window: Ctrl+O opens the pattern dialog on the stored
# pattern, its focus starts on ｷｬﾝｾﾙ, Tab goes to OK and Space presses it;
# returns once the pattern has loaded and the first report shows.
load_stored_pattern() {
  xdotool key --clearmodifiers ctrl+o
  local dialog
  dialog="$(wait_window 'ﾌｧｲﾙを開く')"
  xdotool windowfocus --sync "$dialog"
  xdotool key Tab space
  wait_window_gone 'ﾌｧｲﾙを開く'
  sleep 2
}
