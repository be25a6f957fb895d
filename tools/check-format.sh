#!/usr/bin/env bash
# Checks that the C++ sources under src/ and tests/ are laid out as the
# repository's .clang-format says: clang-format --dry-run --Werror names
# each line that it would change, and any such line fails. To lay a file
# out: clang-format -i FILE.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-packages.sh --no-recommends clang-format
files=()
while IFS= read -r -d '' file; do files+=("$file"); done < <(
  find src tests -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
clang-format --style=file --dry-run --Werror "${files[@]}"
echo "clang-format: ${#files[@]} files as .clang-format lays them out"
