#!/usr/bin/env bash
# Cold and warm runs of lomi-report on every pattern over ten years (490
# patterns, about 540,000 files), without the record cache, while it is
# built and once it is built, beside `find | xargs cat` of the same files;
# and one pattern's load. With --wine, the same with lomi-report.exe under
# Wine (built without Qt into build-windows-report/). Prints Markdown tables.
#
# Cold means the page cache dropped before the run (echo 3 >
# /proc/sys/vm/drop_caches, which needs root); where that is refused, the
# runs say so and are warm.
#
#   tools/benchmark/cold-cache.sh [--wine] [--runs N] [--work DIR]
set -euo pipefail
cd "$(dirname "$0")/../.."
root="$PWD"
tools/install-packages.sh --no-recommends bc >/dev/null
work="${TMPDIR:-/tmp}/lomi-benchmark-cold"
runs=2
wine_too=0
while [ $# -gt 0 ]; do
  case "$1" in
    --wine) wine_too=1 ;;
    --runs) runs="$2"; shift ;;
    --work) work="$2"; shift ;;
    *) echo "usage: $0 [--wine] [--runs N] [--work DIR]" >&2; exit 2 ;;
  esac
  shift
done
build="${LOMI_BUILD_DIR:-build}"
cmake --build "$build" --target lomi-report lomi-make-samples -j 2 >/dev/null
report="$root/$build/src/lomi-report"
generator="$root/$build/tools/sample_generator/lomi-make-samples"

# The corpus: every pattern from 1 January 2001 over ten years, seed 1, as
# lomi-benchmark writes it; written once, a stamp marks it complete and names
# the generator, so a corpus of an earlier generator is written anew.
corpus="$work/all-patterns-10"
stamp="generator 2"
patterns=()
for axis in T F R Z W P Q; do for rank in 1 2 3 4 5; do for partner in T F R Z W P Q; do
  for style in N B; do patterns+=("$axis$rank$partner$style"); done
done; done; done
if [ "$(cat "$work/.corpus-complete" 2>/dev/null)" != "$stamp" ]; then
  rm -rf "$corpus"
  mkdir -p "$work"
  echo "writing $corpus ..." >&2
  nice "$generator" "$corpus" --generator 2 --from 2001-01-01 --years 10 -p "${patterns[@]}" \
    >/dev/null
  echo "$stamp" >"$work/.corpus-complete"
fi
files=$(find "$corpus" -type f | wc -l)
bytes=$(du -sb "$corpus" | cut -f1)

cold=1
drop() { if [ "$cold" = 1 ]; then sync; echo 3 >/proc/sys/vm/drop_caches 2>/dev/null || cold=0; fi; }
drop
[ "$cold" = 1 ] || echo "the page cache cannot be dropped here: every run below is warm" >&2

# Seconds of one run of "$@", its output thrown away.
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}
# The median of the numbers on standard input.
median() { sort -n | awk '{ v[NR] = $1 } END { m = int((NR + 1) / 2); printf "%.2f", (NR % 2) ? v[m] : (v[m] + v[m + 1]) / 2 }'; }
# Median seconds of $runs runs of "$@", each after dropping the page cache
# when $1 is "cold", each after removing the cache when $2 is "fresh".
measure() {
  local temperature="$1" freshness="$2"
  shift 2
  for _ in $(seq "$runs"); do
    if [ "$temperature" = warm ]; then "$@" >/dev/null 2>&1; fi
    if [ "$freshness" = fresh ]; then rm -rf "$cache_home"; fi
    if [ "$temperature" = cold ]; then drop; fi
    seconds "$@"
  done | median
}

cat_all() { find "$corpus" -type f -print0 | xargs -0 cat; }
cache_home="$work/cache-home"
export XDG_CACHE_HOME="$cache_home"
rank=("$report" --folder "$corpus" --all-patterns)
load=("$report" --folder "$corpus" --pattern Q1RN)

echo "lomi-report, $files files, $(echo "scale=2; $bytes / 1000000000" | bc) GB, median of $runs runs, $(nproc) processors, load average $(cut -d' ' -f1 /proc/loadavg)"
echo
echo "| Linux | cold | warm |"
echo "|---|---:|---:|"
echo "| find \| xargs cat | $(measure cold keep cat_all) s | $(measure warm keep cat_all) s |"
echo "| ranking, no cache | $(measure cold keep "${rank[@]}" --no-cache) s | $(measure warm keep "${rank[@]}" --no-cache) s |"
echo "| ranking, cache being built | $(measure cold fresh "${rank[@]}") s | $(measure warm fresh "${rank[@]}") s |"
"${rank[@]}" >/dev/null
echo "| ranking, cache built | $(measure cold keep "${rank[@]}") s | $(measure warm keep "${rank[@]}") s |"
echo "| one pattern's load (Q1RN), no cache | $(measure cold keep "${load[@]}" --no-cache) s | $(measure warm keep "${load[@]}" --no-cache) s |"
"${load[@]}" >/dev/null
echo "| one pattern's load (Q1RN), cache built | $(measure cold keep "${load[@]}") s | $(measure warm keep "${load[@]}") s |"
echo "| record cache on disk | $(du -sh "$cache_home" | cut -f1) | |"

[ "$wine_too" = 1 ] || exit 0

# lomi-report.exe needs no Qt: a build of it alone, optimised.
windows="$root/build-windows-report"
prefix="$windows/prefix"
tools/install-packages.sh --no-recommends g++-mingw-w64-x86-64-posix wine wine64 libcli11-dev \
  nlohmann-json3-dev libboost-dev libboost-math-dev >/dev/null
mkdir -p "$prefix/include" "$prefix/share/cmake"
for dir in CLI nlohmann boost; do ln -sfn "/usr/include/$dir" "$prefix/include/$dir"; done
for package in CLI11 nlohmann_json; do
  rm -rf "$prefix/share/cmake/$package"
  cp -r "/usr/share/cmake/$package" "$prefix/share/cmake/$package"
done
cmake -S . -B "$windows" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DLOMI_WINDOWS_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DLOMI_BUILD_GUI=OFF \
  -DLOMI_BUILD_TESTS=OFF >/dev/null
cmake --build "$windows" --target lomi-report -j 2 >/dev/null
export WINEPREFIX="$windows/wineprefix" WINEDEBUG=-all
wineboot -i >/dev/null 2>&1
# Wine's own server stays up between runs, as Windows does; started
# before the first program, which would otherwise start one of its own.
wineserver -k 2>/dev/null || true
wineserver -p 600
wine_folder="Z:${corpus//\//\\}"
# The Windows cache folder of the prefix's user, emptied for a fresh cache.
cache_home="$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')")/lomi/cache"
rank=(wine "$windows/src/lomi-report.exe" --folder "$wine_folder" --all-patterns)
load=(wine "$windows/src/lomi-report.exe" --folder "$wine_folder" --pattern Q1RN)
echo
echo "| Wine (lomi-report.exe) | cold | warm |"
echo "|---|---:|---:|"
echo "| ranking, no cache | $(measure cold keep "${rank[@]}" --no-cache) s | $(measure warm keep "${rank[@]}" --no-cache) s |"
echo "| ranking, cache being built | $(measure cold fresh "${rank[@]}") s | $(measure warm fresh "${rank[@]}") s |"
"${rank[@]}" >/dev/null
echo "| ranking, cache built | $(measure cold keep "${rank[@]}") s | $(measure warm keep "${rank[@]}") s |"
echo "| one pattern's load (Q1RN), no cache | $(measure cold keep "${load[@]}" --no-cache) s | $(measure warm keep "${load[@]}" --no-cache) s |"
"${load[@]}" >/dev/null
echo "| one pattern's load (Q1RN), cache built | $(measure cold keep "${load[@]}") s | $(measure warm keep "${load[@]}") s |"
wineserver -k
