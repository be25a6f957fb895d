# Sourced by the screenshot scripts: checks the build, installs Xvfb,
# xdotool and ImageMagick when missing, copies the program into a temporary
# folder $work (the settings file is written beside the executable, so none
# is left in the build or the samples), and starts a virtual X server of
# the size in $screen (default 1024x768). Everything goes when the script
# ends. Sets root, build, out, work, app_pid and DISPLAY.
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
root="$PWD"
build="${LOMI_BUILD_DIR:-build}"
out="${1:-$root/docs}"
[ -x "$build/src/lomi" ] || { echo "no $build/src/lomi: build first" >&2; exit 1; }
"$root/tools/install-packages.sh" --no-recommends xvfb xauth xdotool imagemagick

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
Xvfb "$display" -screen 0 "${screen:-1024x768}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

# Starts the copy of the program in folder $1, its current directory (the
# data folder while there is no Lomi.ini), and waits for its main window,
# $main, moved to the top left and focused.
start_lomi() {
  (cd "$1" && exec env -u QT_QPA_PLATFORM "$work/lomi") &
  app_pid=$!
  main="$(xdotool search --sync --onlyvisible --name 'Ver 1\.02' | head -1)"
  xdotool windowmove "$main" 0 0
  xdotool windowfocus --sync "$main"
  sleep 0.5
}
