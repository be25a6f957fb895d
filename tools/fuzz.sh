#!/usr/bin/env bash
# Runs the libFuzzer targets: tools/fuzz.sh [SECONDS] [TARGET…]
# Builds them with clang into build-fuzz/, then runs each target for SECONDS
# (default 60) on a copy of its committed seed corpus, so new finds do not
# dirty the checkout. A crash, leak or time-out stops the script with the
# reproducer left in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
tools/install-deps.sh
command -v clang++ >/dev/null || { sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo; $sudo apt-get install -y -qq clang libclang-rt-dev >/dev/null; }
build="build-fuzz"
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLOMI_FUZZ=ON -DLOMI_BUILD_GUI=OFF >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in tests/fuzz/*_fuzz.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"
mkdir -p "$build/findings"
for t in "${targets[@]}"; do
  work="$build/corpus/$t"
  mkdir -p "$work"
  cp -n tests/fuzz/corpus/"$t"/* "$work"/ 2>/dev/null || true
  echo "== $t for ${seconds}s"
  "$build/tests/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/findings/$t-" -print_final_stats=1 "$work" 2>&1 | tail -n 12
done
