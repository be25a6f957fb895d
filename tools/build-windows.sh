#!/usr/bin/env bash
# Cross-builds Lomi for 64-bit Windows with MinGW-w64 into build-windows/
# (or $LOMI_WINDOWS_BUILD_DIR): lomi.exe, lomi-report.exe, the core tests,
# the window tests and the program that writes the code page 932 table,
# against the Windows Qt of tools/build-qt-windows.sh (built on the first
# run, then cached). Then puts the programs with every DLL and plugin they
# need into build-windows/deploy/Lomi (tools/deploy-windows.sh). Arguments
# go to the configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="${LOMI_WINDOWS_BUILD_DIR:-build-windows}"
mkdir -p "$build"
build="$(cd "$build" && pwd)"

tools/install-packages.sh --no-recommends g++-mingw-w64-x86-64-posix mingw-w64-tools googletest qt6-translations-l10n \
  libcli11-dev nlohmann-json3-dev libboost-dev libboost-math-dev cmake

# The target's own prefix: the header-only libraries with their CMake files
# (copied, so that they point at this prefix and not at the host's /usr),
# Boost's headers (of which Boost.Math's quantiles need no compiled part),
# and GoogleTest compiled from Debian's source package.
prefix="$build/prefix"
mkdir -p "$prefix/include" "$prefix/share/cmake"
for dir in CLI nlohmann boost; do ln -sfn "/usr/include/$dir" "$prefix/include/$dir"; done
for package in CLI11 nlohmann_json; do
  rm -rf "$prefix/share/cmake/$package"
  cp -r "/usr/share/cmake/$package" "$prefix/share/cmake/$package"
done

toolchain="$root/cmake/mingw-w64-x86_64.cmake"
jobs="$(nproc)"
# -O1 by default: it compiles in about half the time of -O3, which keeps
# the Windows part of CI short; the tests check behaviour, not speed.
# LOMI_WINDOWS_BUILD_TYPE=Release gives the optimised build.
flags=(-DCMAKE_BUILD_TYPE="${LOMI_WINDOWS_BUILD_TYPE:-None}")
[ -n "${LOMI_WINDOWS_BUILD_TYPE:-}" ] || flags+=(-DCMAKE_CXX_FLAGS=-O1 -DCMAKE_C_FLAGS=-O1)
if [ ! -f "$prefix/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$build/googletest" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    "${flags[@]}" -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF \
    -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$build/googletest" -j "$jobs" >/dev/null
  cmake --install "$build/googletest" >/dev/null
fi

qt="$(tools/build-qt-windows.sh | tail -n 1)"
# Debian's moc, rcc and uic of the same Qt version serve the Windows Qt.
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DLOMI_WINDOWS_PREFIX="$prefix;$qt" \
  -DCMAKE_PREFIX_PATH="$qt" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  "${flags[@]}" -DLOMI_BUILD_GUI=ON "$@" >/dev/null
window_tests=(modal_wait_check)
for test in tests/ui/*_test.cpp tests/dialogs/*_test.cpp tests/app/*_test.cpp; do
  window_tests+=("$(basename "$test" .cpp)")
done
cmake --build "$build" -j "$jobs" --target lomi lomi-report lomi_core_tests lomi-cp932-table \
  "${window_tests[@]}"
tools/deploy-windows.sh "$build" "$qt"
