#!/usr/bin/env bash
# Usage: package-windows.sh [BUILD]
# Writes the portable zip lomi-<version>-win64.zip (a folder Lomi that runs
# from anywhere) and the installer lomi-<version>-setup.exe (NSIS) into the
# Windows build folder BUILD (default build-windows/, built first when it
# has no deploy folder), and prints their paths.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-${LOMI_WINDOWS_BUILD_DIR:-build-windows}}"
tools/install-packages.sh --no-recommends zip nsis
# The folder asked for is the one built and packaged.
[ -f "$build/deploy/Lomi/lomi.exe" ] || LOMI_WINDOWS_BUILD_DIR="$build" tools/build-windows.sh
build="$(cd "$build" && pwd)"
[ -f "$build/deploy/Lomi/lomi.exe" ] || { echo "package-windows: no $build/deploy/Lomi/lomi.exe" >&2; exit 1; }
version="$(sed -n 's/^project(Lomi VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"

package="$build/package"
stage="$package/Lomi"
rm -rf "$package"
mkdir -p "$stage/licenses/mingw-w64-runtime"
cp -r "$build/deploy/Lomi/." "$stage/"
cp -r samples "$stage/samples"
# The guide's Markdown and pictures (the program carries its own copy).
mkdir -p "$stage/guide"
cp -r docs/guide/. "$stage/guide/"
cp -r packaging/windows/licenses/. "$stage/licenses/"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licenses/mingw-w64-runtime/gcc-runtime.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$stage/licenses/mingw-w64-runtime/winpthreads.txt"
# Texts for Notepad: UTF-8 with a byte order mark, Windows line ends.
text() { { printf '\xef\xbb\xbf'; sed 's/\r*$/\r/' "$1"; } >"$stage/$2"; }
# A Japanese first page for bettors; the English README is for developers.
text packaging/windows/はじめにお読みください.txt はじめにお読みください.txt
mkdir -p "$stage/developers"
text README.md developers/README.txt
text LICENSE LICENSE.txt
text packaging/windows/LICENSE-WINDOWS.txt LICENSE-WINDOWS.txt
text packaging/windows/THIRD-PARTY.txt THIRD-PARTY.txt
cp src/app/resources/lomi.ico "$stage/lomi.ico"

zip_file="$build/lomi-$version-win64.zip"
rm -f "$zip_file"
(cd "$package" && zip -qr -X "$zip_file" Lomi)

# The installer's file lists, from the staged folder: what it installs is
# exactly what its uninstaller removes.
lists="$package/nsis"
mkdir -p "$lists"
: >"$lists/install_files.nsh"
: >"$lists/uninstall_files.nsh"
while read -r dir; do
  rel="${dir#"$stage"}"
  win="${rel//\//\\}"
  echo "SetOutPath \"\$INSTDIR$win\"" >>"$lists/install_files.nsh"
  find "$dir" -maxdepth 1 -type f | sort | while read -r file; do
    echo "File \"$file\"" >>"$lists/install_files.nsh"
    echo "Delete \"\$INSTDIR$win\\$(basename "$file")\"" >>"$lists/uninstall_files.nsh"
  done
done < <(find "$stage" -type d | sort)
find "$stage" -mindepth 1 -type d | sort -r | while read -r dir; do
  rel="${dir#"$stage"}"
  echo "RMDir \"\$INSTDIR${rel//\//\\}\"" >>"$lists/uninstall_files.nsh"
done

setup="$build/lomi-$version-setup.exe"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DLISTS="$lists" \
  -DOUTFILE="$setup" -DSIZE_KB="$(du -sk "$stage" | cut -f1)" packaging/windows/lomi.nsi >/dev/null
echo "$zip_file"
echo "$setup"
