#!/usr/bin/env bash
# Runs Debian's shellcheck, at its default level and following the files
# that the scripts source, on every shell script under tools/ (by name or
# by its #! line) and on .ci/run. Any finding fails. A check that a script
# turns off carries a comment that says why.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-packages.sh --no-recommends shellcheck
scripts=(.ci/run)
while IFS= read -r -d '' file; do
  case "$file" in
    *.sh) scripts+=("$file") ;;
    *) head -n 1 "$file" | grep -qE '^#!.*\b(ba|da)?sh\b' && scripts+=("$file") ;;
  esac
done < <(find tools -type f -print0 | sort -z)
# From the root, where the scripts' own "source tools/..." paths resolve.
shellcheck --external-sources "${scripts[@]}"
echo "shellcheck: ${#scripts[@]} scripts, no findings"
