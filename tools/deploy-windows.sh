#!/usr/bin/env bash
# Usage: deploy-windows.sh BUILD QT_PREFIX
# Puts lomi.exe and lomi-report.exe of the Windows build BUILD into
# BUILD/deploy/Lomi with every DLL they need, stripped: the Qt plugins that
# Qt loads by itself (the windows platform and the Windows style), then each
# DLL that the programs, the plugins or another such DLL import, as
# `objdump -p` lists them, taken from the Qt prefix or the MinGW runtime.
# An imported DLL found in neither is one of Windows' own. Paths may hold
# spaces; a program or DLL whose imports cannot be read stops the script.
set -euo pipefail
usage() { echo "usage: $(basename "$0") BUILD QT_PREFIX" >&2; exit 2; }
fail() { echo "deploy-windows: $*" >&2; exit 1; }
[ $# -eq 2 ] || usage
build="$1"
qt="$2"
[ -f "$build/src/lomi.exe" ] || fail "no $build/src/lomi.exe: build for Windows first"
[ -f "$qt/bin/Qt6Core.dll" ] || fail "no Qt for Windows in $qt"
mingw=x86_64-w64-mingw32
out="$build/deploy/Lomi"
rm -rf "$out"
mkdir -p "$out/platforms" "$out/styles"

cp "$build/src/lomi.exe" "$build/src/lomi-report.exe" "$out/"
cp "$qt/plugins/platforms/qwindows.dll" "$out/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$out/styles/"
# Qt's Japanese texts for the standard dialogs, looked for beside the program
# first. The Qt built for Windows has no translations module; the file is the
# same Qt release's, from the host (qt6-translations-l10n), and .qm files do
# not depend on the platform.
mkdir -p "$out/translations"
cp /usr/share/qt6/translations/qtbase_ja.qm "$out/translations/"

# Where a DLL of that name comes from, or nothing for Windows' own.
find_dll() {
  if [ -f "$qt/bin/$1" ]; then
    echo "$qt/bin/$1"
    return
  fi
  local runtime
  runtime="$("$mingw-g++-posix" -print-file-name="$1")" || return 1
  [ "$runtime" != "$1" ] && [ -f "$runtime" ] && echo "$runtime"
  return 0
}

pending=("$out"/*.exe "$out"/platforms/*.dll "$out"/styles/*.dll)
while [ ${#pending[@]} -gt 0 ]; do
  file="${pending[0]}"
  pending=("${pending[@]:1}")
  # Read whole first: a failing objdump must not pass for a file without
  # imports. Every Windows program imports at least from KERNEL32.dll.
  headers="$("$mingw-objdump" -p "$file")" || fail "objdump cannot read $file"
  imports="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr -d '\r')"
  [ -n "$imports" ] || fail "objdump lists no imported DLL for $file"
  while read -r name; do
    [ -f "$out/$name" ] && continue
    source="$(find_dll "$name")" || fail "cannot ask $mingw-g++-posix where $name is"
    [ -n "$source" ] || continue
    cp "$source" "$out/$name"
    pending+=("$out/$name")
  done <<<"$imports"
done

find "$out" \( -name '*.exe' -o -name '*.dll' \) -exec "$mingw-strip" --strip-unneeded {} +
echo "deployed: $out ($(du -sh "$out" | cut -f1), $(find "$out" -name '*.dll' | wc -l) DLLs)"
