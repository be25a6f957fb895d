#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ (or $LOMI_ASAN_BUILD_DIR) and runs them; any finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
build="${LOMI_ASAN_BUILD_DIR:-build-asan}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DLOMI_SANITIZE=ON >/dev/null
cmake --build "$build" -j "$(nproc)"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Leaks inside the system's font and display libraries are theirs, not ours.
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
