#!/bin/sh
# The share of test code: lines of the tracked C, C++ and Python files
# under tests/, python/tests/ and tools/tests/, against those of all
# tracked C, C++ and Python files. Counts what is committed or staged
# (git ls-files), as the files stand in the working tree.
set -eu
cd "$(git rev-parse --show-toplevel)"
files=$(git ls-files -- '*.cpp' '*.h' '*.py' '*.c')
all=$(printf '%s\n' "$files" | tr '\n' '\0' | xargs -0 cat | wc -l)
tests=$(printf '%s\n' "$files" | grep -E '^(tests|python/tests|tools/tests)/' | tr '\n' '\0' | xargs -0 cat | wc -l)
echo "test lines: $tests"
echo "all lines: $all"
awk -v t="$tests" -v a="$all" 'BEGIN { printf "share: %.2f%%\n", 100 * t / a }'
