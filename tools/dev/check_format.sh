#!/usr/bin/env bash
# Checks that every C and C++ file under git is formatted as .clang-format
# says: clang-format --dry-run -Werror, which names each place it would
# change and fails if there is one. With --fix, formats the files in place
# instead. A developer's tool: not built, not installed.
#
# Usage: tools/dev/check_format.sh [--fix]
# CLANG_FORMAT names the program (default: clang-format).
set -euo pipefail
cd "$(dirname "$0")/../.."

fix=false
case "${1:-}" in
  --fix) fix=true ;;
  "") ;;
  *) echo "usage: $0 [--fix]" >&2; exit 2 ;;
esac
format=${CLANG_FORMAT:-clang-format}

# Tracked files that are still there (a deletion not yet committed is not).
files=()
while IFS= read -r -d '' file; do
  [[ -f "$file" ]] && files+=("$file")
done < <(git ls-files -z -- '*.c' '*.cpp' '*.h')

if $fix; then
  "$format" -i -- "${files[@]}"
else
  "$format" --dry-run -Werror -- "${files[@]}"
  echo "${#files[@]} files formatted as .clang-format says"
fi
