# shellcheck shell=bash
# Sourced by the screenshot scripts: checks the build, installs Xvfb,
# xdotool and ImageMagick when missing, copies the program into a temporary
# folder $work (the settings file is written beside the executable, so none
# is left in the build or the samples), and starts a virtual X server of
# the size in $screen (default 1024x768). Everything goes when the script
# ends. Sets root, build, out, work, app_pid and DISPLAY.
cd "$(dirname "${BASH_SOURCE[0]}")/../.." || exit 1
root="$PWD"
build="${LOMI_BUILD_DIR:-build}"
# shellcheck disable=SC2034 # where the sourcing script writes its pictures
out="${1:-$root/docs}"
[ -x "$build/src/lomi" ] || { echo "no $build/src/lomi: build first" >&2; exit 1; }
"$root/tools/install-packages.sh" --no-recommends xvfb xauth xdotool imagemagick

work="$(mktemp -d)"
xvfb_pid=""
app_pid=""
cleanup() {
  if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
cp "$build/src/lomi" "$work/lomi"

# A display number that the server itself finds free (-displayfd), so that
# scripts running at the same time never share one.
Xvfb -displayfd 3 -screen 0 "${screen:-1024x768}x24" -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
deadline=$((SECONDS + 30))
until [ -n "$(tr -dc '0-9' <"$work/display")" ]; do
  if [ $SECONDS -ge $deadline ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "Xvfb did not start" >&2
    exit 1
  fi
  sleep 0.1
done
DISPLAY=":$(tr -dc '0-9' <"$work/display")"
export DISPLAY
until xdotool getdisplaygeometry >/dev/null 2>&1; do
  [ $SECONDS -lt $deadline ] || { echo "Xvfb on $DISPLAY does not answer" >&2; exit 1; }
  sleep 0.1
done

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
