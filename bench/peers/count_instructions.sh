#!/bin/sh
# Instructions per vertex and per byte of text of our side of every grid
# cell (or of the cells whose label contains FILTER), counted by callgrind
# on a tenth of the grid's data: repeatable where the timings of a shared
# machine are not. Builds build-peers/ as run_comparison.sh does.
#
#   bench/peers/count_instructions.sh [FILTER]
#
# BUILD=dir takes the program from another build directory (configured
# with -DSPATIALGEOM_BENCH_PEERS=ON), built there first.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD:-$root/build-peers}
if [ -z "${BUILD:-}" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSPATIALGEOM_BENCH_PEERS=ON \
    -DSPATIALGEOM_BUILD_TESTS=OFF -DSPATIALGEOM_BUILD_BENCH=OFF -DSPATIALGEOM_BUILD_TOOLS=OFF >/dev/null
fi
cmake --build "$build" -j2 --target peer_comparison >/dev/null
dumps=$(mktemp -d)
trap 'rm -rf "$dumps"' EXIT
valgrind --tool=callgrind --callgrind-out-file="$dumps/out.%p" \
  "$build/bench/peers/peer_comparison" --count-instructions "${1:-}" >/dev/null 2>"$dumps/log"
# Each dump: "desc: Trigger: Client Request: LABEL | VERTICES BYTES" and
# "summary: INSTRUCTIONS" (the last dump, at exit, has no label).
for dump in $(cd "$dumps" && ls out.* | sort -t. -k3 -n); do
  awk '/^desc: Trigger: Client Request:/ { sub(/^desc: Trigger: Client Request: /, ""); label = $0 }
       /^(summary|totals):/ { total = $2 }
       END {
         if (label == "") exit
         n = split(label, parts, " [|] ")
         split(parts[n], counts, " ")
         name = parts[1]; for (i = 2; i < n; ++i) name = name " | " parts[i]
         printf "%-56s %8.0f instructions/vertex", name, total / counts[1]
         if (counts[2] > 0) printf " %6.1f /byte", total / counts[2]
         printf "\n"
       }' "$dumps/$dump"
done
