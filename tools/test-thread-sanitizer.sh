#!/usr/bin/env bash
# Builds the core tests and the background-task tests with ThreadSanitizer
# into build-tsan/ (or $LOMI_TSAN_BUILD_DIR), against the system's Qt, and
# runs them; any report fails. The window tests stay out: a shown window
# makes Qt's painting hand jobs to threads of its own pool through locks
# TSan cannot see, in Qt's code alone (Debian's Qt has no symbols to name
# in a suppression); they run under AddressSanitizer instead.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
build="${LOMI_TSAN_BUILD_DIR:-build-tsan}"
tests=(lomi_core_tests worker_task_test ranking_worker_test)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLOMI_TSAN=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${tests[@]}"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tools/tsan.supp"
export QT_QPA_PLATFORM=offscreen
regex="^($(IFS='|'; echo "${tests[*]:1}"))$|^[A-Za-z]+\\."
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" -R "$regex"
