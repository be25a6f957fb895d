#!/usr/bin/env bash
# Usage: test-windows-packages.sh [BUILD]
# Checks the zip and the installer of tools/package-windows.sh under Wine:
# lomi-report.exe of the unpacked zip prints the samples' report; the
# installer installs silently, twice (an upgrade in place), with its Start
# menu entry and its Apps & features entry, and the installed lomi-report.exe
# prints the same report; the uninstaller will not remove a running Lomi;
# the silent uninstall leaves no program file, entry or key behind, and
# keeps the user's settings.
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

# The report of the samples from the build itself, to compare with.
samples="$(windows_path "$root/samples")"
wine "$build/src/lomi-report.exe" --folder "$samples" --pattern Q1RN >"$work/expected.txt"

echo "-- zip"
unzip -q "$build/lomi-$version-win64.zip" -d "$work/USBメモリ"
wine "$work/USBメモリ/Lomi/lomi-report.exe" --folder "$(windows_path "$work/USBメモリ/Lomi/samples")" \
  --pattern Q1RN >"$work/zip.txt"
cmp "$work/expected.txt" "$work/zip.txt"
for file in lomi.exe Qt6Charts.dll platforms/qwindows.dll LICENSE-WINDOWS.txt THIRD-PARTY.txt \
  licenses/GPL-3.0-only.txt; do
  [ -f "$work/USBメモリ/Lomi/$file" ] || fail "the zip has no Lomi/$file"
done

echo "-- installer"
installed="$WINEPREFIX/drive_c/Program Files/Lomi"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Lomi"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lomi'
settings="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Roaming/lomi"
[ -d "$installed" ] && fail "Lomi is already installed in the test prefix: $installed"
# Twice: the second run upgrades the first in place.
for _ in 1 2; do
  wine "$build/lomi-$version-setup.exe" /S
  wineserver -w
done
[ -f "$installed/lomi.exe" ] || fail "the installer put no lomi.exe into $installed"
[ -f "$menu/Lomi 馬券集計.lnk" ] || fail "no Start menu entry in $menu"
entry="$(wine reg query "$key" /v DisplayVersion 2>/dev/null)" || true
grep -q "$version" <<<"$entry" || fail "no Apps & features entry $key"
wine "$installed/lomi-report.exe" --folder "$samples" --pattern Q1RN >"$work/installed.txt"
cmp "$work/expected.txt" "$work/installed.txt"
# Installed, Lomi keeps its settings under %APPDATA% even when it could
# write its own folder, as Wine's user can.
shown="$(wine "$installed/lomi-report.exe" --show-settings | tr -d '\r')"
grep -qx 'FILE=C:\\users\\[^\\]*\\AppData\\Roaming\\lomi\\Lomi.ini' <<<"$shown" ||
  fail "the installed program does not keep its settings under %APPDATA%: $shown"

# Uninstalling while Lomi runs: the silent uninstaller (run in place, so
# that Wine waits for it) gives up and removes nothing.
start_display
trap stop_display EXIT
(cd "$installed" && exec wine lomi.exe) &
lomi_pid=$!
wait_window 'Ver 1\.02' 90 >/dev/null
wine "$installed/uninstall.exe" /S "_?=$(windows_path "$installed")" || true
for file in lomi.exe Qt6Core.dll platforms/qwindows.dll uninstall.exe; do
  [ -f "$installed/$file" ] || fail "the uninstaller removed $file while Lomi was running"
done
wine taskkill /f /im lomi.exe >/dev/null 2>&1
wait "$lomi_pid" || true
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
echo "zip and installer checked: $(du -h "$build/lomi-$version-win64.zip" | cut -f1) zip," \
  "$(du -h "$build/lomi-$version-setup.exe" | cut -f1) installer"
