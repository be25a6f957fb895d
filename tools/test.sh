#!/usr/bin/env bash
# Installs what is missing, checks the scripts with shellcheck and the C++
# layout with clang-format, builds, and runs every test: first the normal
# build, then the Windows build under Wine, then every test again under
# AddressSanitizer and UBSan, the core and background-task tests under
# ThreadSanitizer, then the checks of the Debian package and of the
# installed programs.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/check-scripts.sh
tools/check-format.sh
tools/build.sh
ctest --test-dir "${LOMI_BUILD_DIR:-build}" --output-on-failure -j "$(nproc)"
if [ "${LOMI_SKIP_WINDOWS:-0}" != 1 ]; then
  tools/test-windows.sh
fi
if [ "${LOMI_SKIP_SANITIZERS:-0}" != 1 ]; then
  tools/test-sanitizers.sh
  tools/test-thread-sanitizer.sh
fi
if [ "${LOMI_SKIP_PACKAGE:-0}" != 1 ]; then
  tools/test-package.sh
fi
