#!/usr/bin/env bash
# Cross-builds for Windows (tools/build-windows.sh) and runs, under Wine with
# a private prefix in the build folder: the core tests, the window tests
# (offscreen), the check that the code page 932 table is still what Windows
# converts, the comparison of the code page 932 dumps of the Linux and
# Windows builds, lomi-report on samples/ against the Linux build, lomi.exe
# on a virtual display with its settings file, and the zip and the
# installer (tools/package-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="${LOMI_WINDOWS_BUILD_DIR:-build-windows}"
linux="${LOMI_BUILD_DIR:-build}"
started=$SECONDS

tools/build-windows.sh
mkdir -p "$build"
build="$(cd "$build" && pwd)"
qt="$(tools/build-qt-windows.sh | tail -n 1)"
source tools/wine-session.sh
trap stop_display EXIT
report="$build/src/lomi-report.exe"

echo "== code page 932 table"
wine "$build/tools/cp932_table/lomi-cp932-table.exe" >"$build/cp932_table_data.cpp"
diff -u src/data/cp932_table_data.cpp "$build/cp932_table_data.cpp"

echo "== core tests"
LOMI_CP932_DUMP="$(windows_path "$build/cp932-dump.txt")" \
  wine "$build/tests/lomi_core_tests.exe" --gtest_brief=1

echo "== window tests"
# In place: the Qt DLLs and the MinGW runtime that they use through WINEPATH,
# Qt's plugins found from Qt6Core.dll's own folder.
runtime_dirs=()
for dll in libstdc++-6.dll libwinpthread-1.dll; do
  runtime_dirs+=("$(windows_path "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name="$dll")")")")
done
WINEPATH="$(windows_path "$qt/bin");$(IFS=';'; echo "${runtime_dirs[*]}")"
export WINEPATH
# Qt Test writes to a file: under Wine its console output is lost.
results="$build/window-test.txt"
# Qt's Japanese translation where the program looks first, as the deploy
# folder has it beside lomi.exe.
mkdir -p "$build/tests/translations"
cp /usr/share/qt6/translations/qtbase_ja.qm "$build/tests/translations/"
for test in "$build"/tests/*_test.exe; do
  rm -f "$results"
  # A test that hangs fails with its name rather than holding CI up.
  offscreen timeout 300 wine "$test" -o "$(windows_path "$results"),txt" >/dev/null 2>&1 ||
    { cat "$results" 2>/dev/null; echo "failed under Wine: $test" >&2; exit 1; }
  # A run that ends without its totals (a crash at exit, a cut-off file)
  # is a failure, and is said to be one.
  totals="$(grep '^Totals' "$results")" ||
    { cat "$results" 2>/dev/null; echo "no Totals line in the results of $test" >&2; exit 1; }
  echo "$(basename "$test" .exe): $totals"
done
# The helpers' own check: a modal window that never comes fails the test.
rm -f "$results"
if offscreen wine "$build/tests/modal_wait_check.exe" -o "$(windows_path "$results"),txt" >/dev/null 2>&1; then
  echo "modal_wait_check passed a test whose window never came" >&2
  exit 1
fi
grep -q "the expected modal window did not appear" "$results" ||
  { cat "$results" 2>/dev/null; echo "modal_wait_check did not fail as expected" >&2; exit 1; }
unset WINEPATH

echo "== code page 932 dumps of both builds"
if [ ! -x "$linux/tests/lomi_core_tests" ] || [ ! -x "$linux/src/lomi-report" ]; then
  # A new Linux build needs no window program for this; an existing one is
  # left configured as it is.
  gui=()
  [ -f "$linux/CMakeCache.txt" ] || gui=(-DLOMI_BUILD_GUI=OFF)
  cmake -S . -B "$linux" "${gui[@]}" >/dev/null
  cmake --build "$linux" -j "$(nproc)" --target lomi_core_tests lomi-report >/dev/null
fi
LOMI_CP932_DUMP="$build/cp932-dump-linux.txt" \
  "$linux/tests/lomi_core_tests" --gtest_filter='Cp932Dump.*' --gtest_brief=1 >/dev/null
cmp "$build/cp932-dump-linux.txt" "$build/cp932-dump.txt"
echo "identical: $(wc -l <"$build/cp932-dump.txt") lines"

echo "== lomi-report on samples"
# A copy of the samples in a folder with a Japanese name, given as a
# Windows path: the argument reaches the program as UTF-16.
data="$build/e2e/競馬データ"
rm -rf "$build/e2e"
mkdir -p "$data"
cp samples/*.txt "$data/"
for pattern in Q1RN T5PB R2FB; do
  for format in text json; do
    flags=(--pattern "$pattern")
    [ "$format" = json ] && flags+=(--json)
    "$linux/src/lomi-report" --folder "$root/samples" "${flags[@]}" >"$build/e2e/linux.out"
    wine "$report" --folder "$(windows_path "$data")" "${flags[@]}" >"$build/e2e/windows.out"
    cmp "$build/e2e/linux.out" "$build/e2e/windows.out"
  done
done
# Redirected output in code page 932.
wine "$report" --folder "$(windows_path "$data")" --pattern Q1RN --encoding cp932 >"$build/e2e/cp932.out"
"$linux/src/lomi-report" --folder "$root/samples" --pattern Q1RN | iconv -f UTF-8 -t CP932 |
  cmp - "$build/e2e/cp932.out"
# Lomi.ini beside the program gives the folder and the pattern.
mkdir -p "$build/e2e/installed"
cp "$report" "$build/e2e/installed/"
write_windows_settings "$build/e2e/installed" "$data" 1 5 6 2
wine "$build/e2e/installed/lomi-report.exe" >"$build/e2e/windows.out"
"$linux/src/lomi-report" --folder "$root/samples" --pattern T5PB >"$build/e2e/linux.out"
cmp "$build/e2e/linux.out" "$build/e2e/windows.out"
# A drive that does not exist is named as such.
if wine "$report" --folder 'Q:\競馬データ' --pattern Q1RN 2>"$build/e2e/error.out"; then
  echo "lomi-report read a folder on a missing drive" >&2
  exit 1
fi
grep -q "ドライブ Q: がありません" "$build/e2e/error.out"

echo "== lomi.exe on a virtual display"
tools/test-windows-program.sh "$build" "$data"

echo "== zip and installer"
tools/package-windows.sh "$build" >/dev/null
tools/test-windows-packages.sh "$build"

echo "Windows tests passed in $((SECONDS - started)) s."
