#!/usr/bin/env bash
# Builds Qt 6.4.2 for 64-bit Windows (MinGW-w64, posix threads) from Debian's
# qt6-base source package and Qt Charts from its release tarball, with
# Debian's own Qt 6.4.2 host tools (moc, rcc, uic), and installs it into a
# cache folder keyed by the Qt version and the build options. A second run
# finds the cache and does nothing. Prints the prefix on standard output,
# its progress on standard error.
#   LOMI_QTCHARTS_SOURCE  Qt Charts tarball (default: ../shared/vendor/...)
#   LOMI_QT_CACHE         cache root (default: ~/.cache/lomi)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
fail() { echo "build-qt-windows: $*" >&2; exit 1; }

qt_version=6.4.2
charts="${LOMI_QTCHARTS_SOURCE:-$root/../shared/vendor/qtcharts-everywhere-src-$qt_version.tar.xz}"
cache="${LOMI_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/lomi}"

# Only what Lomi uses: Core, Gui, Widgets, Test, the windows and offscreen
# platform plugins, the Windows styles; Qt's bundled third-party libraries.
# Debian's source drops src/3rdparty/wintab, hence no tablet events; with
# Direct2D off, qwindows.dll links only without DirectWrite 3 as well.
features=(opengl dbus sql network printsupport concurrent xml vulkan direct2d directwrite3
  tabletevent androiddeployqt jpeg zstd icu glib)
bundled=(zlib pcre2 freetype harfbuzz png)
options=(-DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF
  -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF -DINPUT_opengl=no -DFEATURE_testlib=ON)
for f in "${features[@]}"; do options+=("-DFEATURE_$f=OFF"); done
for f in "${bundled[@]}"; do options+=("-DFEATURE_system_$f=OFF"); done

toolchain_text='set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)'

hash="$(printf '%s\n' "$qt_version" "${options[@]}" "$toolchain_text" | sha256sum | cut -c1-12)"
prefix="$cache/qt-$qt_version-mingw-$hash"
stamp="$prefix/.lomi-complete"
if [ -f "$stamp" ]; then
  echo "$prefix"
  exit 0
fi

tools/install-packages.sh --no-recommends cmake ninja-build g++-mingw-w64-x86-64-posix \
  qt6-base-dev qt6-base-dev-tools dpkg-dev xz-utils
host_version="$(dpkg-query -W -f='${Version}' qt6-base-dev)"
[ "${host_version%%+*}" = "$qt_version" ] ||
  fail "the host's qt6-base-dev is $host_version; its moc, rcc and uic must be Qt $qt_version"
[ -f "$charts" ] ||
  fail "missing $charts: get Qt's official qtcharts-everywhere-src-$qt_version.tar.xz (or set LOMI_QTCHARTS_SOURCE)"
charts="$(cd "$(dirname "$charts")" && pwd)/$(basename "$charts")"

started=$SECONDS
work="$cache/work/qt-$qt_version-mingw-$hash"
# A half-built or half-installed Qt from an earlier run is never reused.
rm -rf "$prefix" "$work"
mkdir -p "$work" "$cache/sources"
printf '%s\n' "$toolchain_text" >"$work/toolchain.cmake"

# Debian's qt6-base source, fetched with a private source list and lists
# folder built from this machine's own Debian entry, so that the machine's
# apt configuration stays as it is.
debian_entry() {
  local codename
  # shellcheck source=/dev/null  # the machine's own file, not part of the project
  codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
  [ -n "$codename" ] || return 1
  {
    grep -hE '^[[:space:]]*deb[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      sed -E 's/\[[^]]*\]//' | awk -v c="$codename" '$3 == c { print $2; exit }'
    # deb822 files: the first stanza whose suites include the codename.
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      awk -v c="$codename" '
        /^URIs:/ { uri = $2 }
        /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == c) found = 1 }
        /^[[:space:]]*$/ { if (found && uri) { print uri; exit } uri = ""; found = 0 }
        END { if (found && uri) print uri }' "$f"
    done
  } | head -n 1 | sed "s|\$| $codename main|"
}
source_dir="$(find "$cache/sources" -maxdepth 1 -type d -name "qt6-base-$qt_version*" | head -n 1)"
if [ -z "$source_dir" ] || [ ! -f "$source_dir/.lomi-unpacked" ]; then
  rm -rf "$cache/sources"/qt6-base* "$cache/sources/apt"
  entry="$(debian_entry)" || true
  [ -n "$entry" ] || fail "no Debian entry in /etc/apt/sources.list* to fetch the qt6-base source from"
  apt_dir="$cache/sources/apt"
  mkdir -p "$apt_dir/lists/partial"
  echo "deb-src $entry" >"$apt_dir/sources.list"
  apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=-
    -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache::pkgcache=" -o "Dir::Cache::srcpkgcache="
    -o APT::Sandbox::User=root)
  apt-get "${apt_options[@]}" update -qq >"$apt_dir/update.log" 2>&1 ||
    fail "cannot read the source index of 'deb-src $entry' (see $apt_dir/update.log)"
  (cd "$cache/sources" && apt-get "${apt_options[@]}" source -qq "qt6-base=$host_version" \
    >"$apt_dir/source.log" 2>&1) ||
    fail "cannot fetch Debian's source package qt6-base $host_version (see $apt_dir/source.log)"
  source_dir="$(find "$cache/sources" -maxdepth 1 -type d -name "qt6-base-*" | head -n 1)"
  [ -f "$source_dir/CMakeLists.txt" ] || fail "the qt6-base source package did not unpack"
  touch "$source_dir/.lomi-unpacked"
fi

host=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
# Niced: the machine is shared, and this is the longest step by far.
build() { nice -n 10 cmake --build "$1" -j "$(nproc)" >"$1.log" 2>&1 || fail "$2 failed to build (see $1.log)"; }

echo "Building Qt $qt_version for Windows into $prefix (about 20 minutes on two cores)" >&2
cmake -S "$source_dir" -B "$work/qtbase" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
  -DCMAKE_INSTALL_PREFIX="$prefix" "${host[@]}" "${options[@]}" >"$work/qtbase-configure.log" 2>&1 ||
  fail "qtbase failed to configure (see $work/qtbase-configure.log)"
build "$work/qtbase" qtbase
cmake --install "$work/qtbase" >/dev/null || fail "qtbase failed to install"

tar -xf "$charts" -C "$work"
cmake -S "$work/qtcharts-everywhere-src-$qt_version" -B "$work/qtcharts" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
  "${host[@]}" -DCMAKE_BUILD_TYPE=Release -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
  >"$work/qtcharts-configure.log" 2>&1 || fail "Qt Charts failed to configure (see $work/qtcharts-configure.log)"
build "$work/qtcharts" "Qt Charts"
cmake --install "$work/qtcharts" >/dev/null || fail "Qt Charts failed to install"

# Written last: only a complete install is ever taken for a cached one.
printf 'Qt %s for x86_64-w64-mingw32, built in %d s\n' "$qt_version" "$((SECONDS - started))" >"$stamp"
rm -rf "$work"
echo "Qt $qt_version for Windows built in $((SECONDS - started)) s" >&2
echo "$prefix"
