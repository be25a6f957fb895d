#!/usr/bin/env bash
# Checks the Debian package as a user meets it. Builds it with
# tools/package.sh, then:
#  - an install into an empty DESTDIR, and the package, hold exactly the
#    files of packaging/installed-files.txt;
#  - desktop-file-validate and appstreamcli validate --no-net pass;
#  - lintian reports no error (its other findings are printed);
#  - unpacked into a temporary root and run with a temporary HOME:
#    lomi-report --help and --show-settings, man lomi-report, and the window
#    started from the menu entry's Exec line under Xvfb and closed with
#    ﾌｧｲﾙ → 終了, which must write ~/.config/lomi/Lomi.ini.
# With LOMI_PACKAGE_SYSTEM_INSTALL=1 it also installs the package on this
# machine with apt-get, runs it and purges it again.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-packaging-deps.sh
deb="$(tools/package.sh | tail -1)"
build="$(dirname "$deb")"
id=org.lomi.Lomi

work="$(mktemp -d)"
xvfb_pid=""
app_pid=""
cleanup() {
  if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "test-package: $*" >&2
  exit 1
}
files_of() { (cd "$1" && find . ! -type d | sed 's|^\./||' | sort); }

echo "== install into a DESTDIR, and the package's files"
DESTDIR="$work/destdir" cmake --install "$build" >/dev/null
files_of "$work/destdir" >"$work/installed.txt"
diff -u packaging/installed-files.txt "$work/installed.txt" || fail "DESTDIR install differs"
dpkg-deb -x "$deb" "$work/root"
files_of "$work/root" >"$work/packaged.txt"
diff -u packaging/installed-files.txt "$work/packaged.txt" || fail "package contents differ"

echo "== validators"
desktop-file-validate "$work/destdir/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$work/destdir/usr/share/metainfo/$id.metainfo.xml"

echo "== lintian"
lintian --fail-on error "$deb" || fail "lintian found errors"

echo "== installed programs, temporary root and HOME"
root="$work/root"
export HOME="$work/home"
mkdir -p "$HOME"
unset XDG_CONFIG_HOME
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export PATH="$root/usr/bin:$PATH"
cd /
# Output is captured before grep reads it: "grep -q" stops at its first match,
# and under pipefail the writer's SIGPIPE would fail the check at random.
help="$(lomi-report --help)" || fail "lomi-report --help exited with status $?"
grep -q "^Usage: lomi-report" <<<"$help" || fail "lomi-report --help: $help"
settings="$(lomi-report --show-settings)"
grep -qx "PATH=$HOME" <<<"$settings" || fail "data folder is not the home folder: $settings"
grep -qx "FILE=$HOME/.config/lomi/Lomi.ini" <<<"$settings" || fail "settings file: $settings"
for page in lomi-report lomi; do
  text="$(MANPATH="$root/usr/share/man" MANPAGER=cat MANWIDTH=80 man "$page" 2>&1)" || fail "man $page: $text"
  grep -q "^NAME" <<<"$text" || fail "man $page: $text"
done

# The menu entry's Exec line, without field codes, run the way a menu does
# (the installed programs are first on PATH).
exec_line="$(sed -n 's/^Exec=//p' "$root/usr/share/applications/$id.desktop" | sed 's/ *%[fFuUdDnNickvm]//g')"
# A display number that the server itself finds free (-displayfd).
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
deadline=$((SECONDS + 30))
until [ -n "$(tr -dc '0-9' <"$work/display")" ]; do
  if [ $SECONDS -ge $deadline ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then fail "Xvfb did not start"; fi
  sleep 0.1
done
DISPLAY=":$(tr -dc '0-9' <"$work/display")"
export DISPLAY
until xdotool getdisplaygeometry >/dev/null 2>&1; do
  [ $SECONDS -lt $deadline ] || fail "Xvfb on $DISPLAY does not answer"
  sleep 0.1
done
# shellcheck disable=SC2086  # the Exec line is split into words as a menu does
env -u QT_QPA_PLATFORM $exec_line &
app_pid=$!
window="$(timeout 30 xdotool search --sync --onlyvisible --name 'Ver 1\.02' | head -1)"
[ -n "$window" ] || fail "the window did not appear"
xdotool windowfocus --sync "$window"
sleep 0.5
xdotool key --clearmodifiers alt+f
sleep 0.5
xdotool key x
deadline=$((SECONDS + 20))
while kill -0 "$app_pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "the window did not close"
wait "$app_pid" || fail "lomi exited with status $?"
app_pid=""
ini="$HOME/.config/lomi/Lomi.ini"
[ -f "$ini" ] || fail "closing the window did not write $ini"
grep -q "^PATH=$HOME"$'\r'"\$" "$ini" || fail "$ini: $(cat "$ini")"
grep -q "^CON1=7"$'\r'"\$" "$ini" || fail "$ini: $(cat "$ini")"
[ ! -e "$root/usr/bin/Lomi.ini" ] || fail "a Lomi.ini was written beside the installed program"
cd "$OLDPWD"

if [ "${LOMI_PACKAGE_SYSTEM_INSTALL:-0}" = 1 ]; then
  echo "== apt-get install and purge on this machine"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$deb" >/dev/null
  version="$(/usr/bin/lomi-report --version)" || fail "installed lomi-report"
  grep -qx "lomi-report 1.02" <<<"$version" || fail "installed lomi-report: $version"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq lomi >/dev/null
  for path in /usr/bin/lomi /usr/bin/lomi-report /usr/share/lomi /usr/share/doc/lomi; do
    [ ! -e "$path" ] || fail "$path left after purge"
  done
fi
echo "test-package: all checks passed ($deb)"
