#!/usr/bin/env bash
# Builds the Debian package (lomi_<version>_<architecture>.deb) in
# build-package/ (or $LOMI_PACKAGE_DIR) with Debian's compiler and linker
# hardening flags, and prints the package's path as the last line.
# Install it with: apt-get install ./<that path>
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/install-packaging-deps.sh
build="${LOMI_PACKAGE_DIR:-build-package}"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DLOMI_BUILD_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" -j "$(nproc)" --target lomi lomi-report lomi-manpage lomi-changelog >/dev/null
rm -f "$build"/lomi_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
realpath "$build"/lomi_*.deb
