#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what .clang-format makes of it, naming each one.
# Usage: scripts/check-format.sh   (fix with: clang-format -i FILE)
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "check-format: clang-format is not installed" >&2; exit 2; }
files=()
while IFS= read -r -d '' file; do files+=("$file"); done < <(git ls-files -z -- '*.cpp' '*.h')
[ "${#files[@]}" -gt 0 ] || { echo "check-format: no C++ files found" >&2; exit 2; }
# --Werror turns every difference into an error line "FILE:LINE:COL: error: ...".
if ! clang-format --dry-run --Werror "${files[@]}"; then
  echo "check-format: the files above differ from .clang-format" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files match .clang-format"
