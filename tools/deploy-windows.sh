#!/usr/bin/env bash
# Usage: deploy-windows.sh BUILD QT_PREFIX
# Puts lomi.exe and lomi-report.exe of the Windows build BUILD into
# BUILD/deploy/Lomi with every DLL they need, stripped: the Qt plugins that
# Qt loads by itself (the windows platform and the Windows style), then each
# DLL that the programs, the plugins or another such DLL import, as
# `objdump -p` lists them, taken from the Qt prefix or the MinGW runtime.
# An imported DLL found in neither is one of Windows' own.
set -euo pipefail
build="$1"
qt="$2"
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
  runtime="$("$mingw-g++-posix" -print-file-name="$1")"
  [ "$runtime" != "$1" ] && [ -f "$runtime" ] && echo "$runtime"
  return 0
}

pending=("$out"/*.exe "$out"/platforms/*.dll "$out"/styles/*.dll)
while [ ${#pending[@]} -gt 0 ]; do
  file="${pending[0]}"
  pending=("${pending[@]:1}")
  while read -r name; do
    [ -f "$out/$name" ] && continue
    source="$(find_dll "$name")"
    [ -n "$source" ] || continue
    cp "$source" "$out/$name"
    pending+=("$out/$name")
  done < <("$mingw-objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr -d '\r')
done

find "$out" -name '*.exe' -o -name '*.dll' | xargs "$mingw-strip" --strip-unneeded
echo "deployed: $out ($(du -sh "$out" | cut -f1), $(find "$out" -name '*.dll' | wc -l) DLLs)"
