#!/bin/sh
# The share of test code among the project's code lines: lines of tracked
# source and build files that are neither blank nor comment lines (// and
# block comments in C and C++; # in Python, CMake and shell). Test code is
# tests/, tools/tests/, python/tests/ and fuzz/; benchmarks (bench/) count
# on neither side. Counts the files git tracks, as they stand in the tree.
set -eu
cd "$(git rev-parse --show-toplevel)"
count() {
    tr '\n' '\0' | xargs -0 -r awk '
        FILENAME ~ /\.(py|cmake|sh)$|CMakeLists\.txt$|^\.ci\// { if ($0 !~ /^[ \t]*(#|$)/) n++; next }
        inBlock { if ($0 ~ /\*\//) inBlock = 0; next }
        /^[ \t]*\/\*/ { if ($0 !~ /\*\//) inBlock = 1; next }
        $0 !~ /^[ \t]*(\/\/|$)/ { n++ }
        END { print n + 0 }'
}
files=$(git ls-files -- '*.cpp' '*.h' '*.c' '*.py' '*.cmake' '*.sh' '*CMakeLists.txt' .ci/run | grep -v '^bench/')
tests=$(printf '%s\n' "$files" | grep -E '^(tests|tools/tests|python/tests|fuzz)/' | count)
other=$(printf '%s\n' "$files" | grep -vE '^(tests|tools/tests|python/tests|fuzz)/' | count)
echo "test lines: $tests"
echo "other lines: $other"
awk -v t="$tests" -v o="$other" 'BEGIN { printf "share: %.1f%%\n", 100 * t / (t + o) }'
