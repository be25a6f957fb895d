#!/usr/bin/env bash
# Usage: test-windows-packages.sh [BUILD]
# Checks the zip and the installer of tools/package-windows.sh under Wine:
# lomi-report.exe of the unpacked zip prints the samples' report; the
# installer installs silently, twice (an upgrade in place), with its Start
# menu entry and its Apps & features entry, and the installed lomi-report.exe
# prints the same report and keeps its settings under %APPDATA%; an unpacked
# zip that its user cannot write starts from its Lomi.ini and saves under
# %APPDATA%; the uninstaller will not remove a running Lomi;
# the silent uninstall leaves no program file, entry or key behind, and
# keeps the user's settings; the same for an install for one user.
# Whatever the script installed into the build's Wine prefix is removed
# again however it ends, so that a failed run leaves the next one a clean
# prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="$(cd "${1:-${LOMI_WINDOWS_BUILD_DIR:-build-windows}}" && pwd)"
version="$(sed -n 's/^project(Lomi VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
source tools/wine-session.sh
fail() { echo "packages: $*" >&2; exit 1; }
work="$build/package-check"
rm -rf "$work"
mkdir -p "$work"

# What the installers put into the prefix, for all users and for one.
user_dir="$WINEPREFIX/drive_c/users/$(whoami)"
machine_install="$WINEPREFIX/drive_c/Program Files/Lomi"
machine_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Lomi"
machine_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lomi'
user_install="$user_dir/AppData/Local/Programs/Lomi"
user_menu="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Lomi"
user_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lomi'
settings="$user_dir/AppData/Roaming/lomi"
readonly_root=""
user_home=""
lomi_pid=""
# Removes every trace of an install, whether or not the uninstaller ran,
# and whatever else the checks made: on every exit path.
remove_installs() {
  if [ -n "$lomi_pid" ]; then
    wine taskkill /f /im lomi.exe >/dev/null 2>&1 || true
    kill "$lomi_pid" 2>/dev/null || true
    lomi_pid=""
  fi
  stop_display
  wineserver -k 2>/dev/null || true
  rm -rf "$machine_install" "$machine_menu" "$user_install" "$user_menu" "$settings"
  wine reg delete "$machine_key" /f >/dev/null 2>&1 || true
  wine reg delete "$user_key" /f >/dev/null 2>&1 || true
  wineserver -w 2>/dev/null || true
  if [ -n "$readonly_root" ]; then
    chmod -R u+w "$readonly_root" 2>/dev/null || true
    rm -rf "$readonly_root"
  fi
  if [ -n "$user_home" ]; then rm -rf "$user_home"; fi
}
trap remove_installs EXIT
# A run killed outright (no trap runs then) may have left an install: the
# checks start from none.
if [ -e "$machine_install" ] || [ -e "$user_install" ]; then
  echo "packages: removing an install left by an earlier run" >&2
  remove_installs
fi

# The report of the samples from the build itself, to compare with.
samples="$(windows_path "$root/samples")"
wine "$build/src/lomi-report.exe" --folder "$samples" --pattern Q1RN >"$work/expected.txt"

echo "-- zip"
unzip -q "$build/lomi-$version-win64.zip" -d "$work/USBメモリ"
wine "$work/USBメモリ/Lomi/lomi-report.exe" --folder "$(windows_path "$work/USBメモリ/Lomi/samples")" \
  --pattern Q1RN >"$work/zip.txt"
cmp "$work/expected.txt" "$work/zip.txt"
for file in lomi.exe Qt6Charts.dll platforms/qwindows.dll LICENSE-WINDOWS.txt THIRD-PARTY.txt \
  licenses/GPL-3.0-only.txt guide/index.md guide/images/main-window.png はじめにお読みください.txt; do
  [ -f "$work/USBメモリ/Lomi/$file" ] || fail "the zip has no Lomi/$file"
done
# The first page opens in Notepad: UTF-8 with a byte order mark, CR LF.
first_page="$work/USBメモリ/Lomi/はじめにお読みください.txt"
[ "$(head -c 3 "$first_page" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "$first_page has no BOM"
grep -qv $'\r$' "$first_page" && fail "$first_page has a line without CR LF"

echo "-- zip in a folder the user cannot write"
# Unpacked where its user may not write (a read-only share, a locked stick),
# Lomi starts from the Lomi.ini beside it and saves under %APPDATA%. Root
# writes everywhere, so as root the check runs as the user nobody, with a
# Wine prefix of its own in a temporary home.
readonly_root="$(mktemp -d)"
user_home="$(mktemp -d)"
cp -r "$work/USBメモリ/Lomi" "$readonly_root/Lomi"
write_windows_settings "$readonly_root/Lomi" "$readonly_root/Lomi/samples" 1 5 6 2
as_user=(env HOME="$user_home" WINEPREFIX="$user_home/wineprefix")
if [ "$(id -u)" -eq 0 ]; then
  chown "$(id -u nobody):$(id -g nobody)" "$user_home"
  as_user=(setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)" --clear-groups
    "${as_user[@]}")
fi
chmod -R a+rX,a-w "$readonly_root"
# (Wine's notes on making the new prefix go to a file.)
shown="$(cd / && "${as_user[@]}" wine "$readonly_root/Lomi/lomi-report.exe" --show-settings \
  2>"$work/read-only.err" | tr -d '\r')"
grep -qx 'CON1=1' <<<"$shown" ||
  fail "the read-only copy did not start from its Lomi.ini: $shown $(cat "$work/read-only.err")"
grep -q '^NOTE=.*\\AppData\\Roaming\\lomi\\Lomi.ini' <<<"$shown" ||
  fail "the read-only copy does not save under %APPDATA%: $shown"
# Without a Lomi.ini beside it, the settings are read from %APPDATA% too.
chmod u+w "$readonly_root/Lomi"
rm "$readonly_root/Lomi/Lomi.ini"
chmod a-w "$readonly_root/Lomi"
shown="$(cd / && "${as_user[@]}" wine "$readonly_root/Lomi/lomi-report.exe" --show-settings \
  2>>"$work/read-only.err" | tr -d '\r')"
grep -q '^FILE=C:.*\\AppData\\Roaming\\lomi\\Lomi.ini$' <<<"$shown" ||
  fail "the read-only copy would write beside itself: $shown"
"${as_user[@]}" wineserver -k 2>/dev/null || true
chmod -R u+w "$readonly_root"
rm -rf "$readonly_root" "$user_home"
readonly_root=""
user_home=""

echo "-- installer"
installed="$machine_install"
menu="$machine_menu"
key="$machine_key"
# Twice: the second run upgrades the first in place.
for _ in 1 2; do
  wine "$build/lomi-$version-setup.exe" /S
  wineserver -w
done
[ -f "$installed/lomi.exe" ] || fail "the installer put no lomi.exe into $installed"
[ -f "$menu/Lomi 馬券集計.lnk" ] || fail "no Start menu entry in $menu"
[ -f "$menu/Lomi 使い方.lnk" ] || fail "no Start menu entry for the guide in $menu"
[ -f "$installed/guide/index.md" ] || fail "the installer put no guide into $installed"
entry="$(wine reg query "$key" /v DisplayVersion 2>/dev/null)" || true
grep -q "$version" <<<"$entry" || fail "no Apps & features entry $key"
wine "$installed/lomi-report.exe" --folder "$samples" --pattern Q1RN >"$work/installed.txt"
cmp "$work/expected.txt" "$work/installed.txt"
# Installed, Lomi keeps its settings under %APPDATA% even when it could
# write its own folder, as Wine's user can.
saves_under_appdata() {
  local shown
  shown="$(wine "$1/lomi-report.exe" --show-settings | tr -d '\r')"
  grep -qx 'FILE=C:\\users\\[^\\]*\\AppData\\Roaming\\lomi\\Lomi.ini' <<<"$shown" ||
    fail "the program in $1 does not keep its settings under %APPDATA%: $shown"
}
saves_under_appdata "$installed"

# Uninstalling while Lomi runs: the silent uninstaller (run in place, so
# that Wine waits for it) gives up and removes nothing.
start_display 1024x768
(cd "$installed" && exec wine lomi.exe) &
lomi_pid=$!
wait_window 'Ver 1\.02' 90 >/dev/null
# 使い方 from the installed copy: the guide's own window (the Start menu entry).
(cd "$installed" && exec wine lomi.exe --guide) &
guide_pid=$!
wait_window 'Lomi 使い方' 90 >/dev/null
wine "$installed/uninstall.exe" /S "_?=$(windows_path "$installed")" || true
for file in lomi.exe Qt6Core.dll platforms/qwindows.dll uninstall.exe; do
  [ -f "$installed/$file" ] || fail "the uninstaller removed $file while Lomi was running"
done
wine taskkill /f /im lomi.exe >/dev/null 2>&1
wait "$lomi_pid" || true
wait "$guide_pid" || true
lomi_pid=""
stop_display

# The user's settings outlive the program.
mkdir -p "$settings"
printf '[DEF]\r\nCON1=1\r\n' >"$settings/Lomi.ini"
wine "$installed/uninstall.exe" /S
wineserver -w
[ ! -e "$installed" ] || fail "the uninstaller left $(find "$installed" | head -3 | tr '\n' ' ')"
[ ! -e "$menu" ] || fail "the uninstaller left the Start menu entry"
! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstaller left $key"
[ -f "$settings/Lomi.ini" ] || fail "the uninstaller removed the user's settings"
rm -rf "$settings"

echo "-- installer for one user"
# Into the user's own programs folder, which the user may write: the
# settings still go under %APPDATA%, and the uninstaller finds its entry
# under HKCU.
installed="$user_install"
key="$user_key"
wine "$build/lomi-$version-setup.exe" /S /CurrentUser
wineserver -w
[ -f "$installed/lomi.exe" ] || fail "the per-user install put no lomi.exe into $installed"
wine reg query "$key" >/dev/null 2>&1 || fail "no Apps & features entry $key"
saves_under_appdata "$installed"
[ ! -e "$installed/Lomi.ini" ] || fail "the per-user copy wrote a Lomi.ini beside itself"
wine "$installed/uninstall.exe" /S /CurrentUser
wineserver -w
[ ! -e "$installed" ] || fail "the per-user uninstall left $(find "$installed" | head -3 | tr '\n' ' ')"
! wine reg query "$key" >/dev/null 2>&1 || fail "the per-user uninstall left $key"
echo "zip and installer checked: $(du -h "$build/lomi-$version-win64.zip" | cut -f1) zip," \
  "$(du -h "$build/lomi-$version-setup.exe" | cut -f1) installer"
