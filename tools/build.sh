#!/usr/bin/env bash
# Configures and builds Lomi into build/ (or $LOMI_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${LOMI_BUILD_DIR:-build}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE="${LOMI_BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
