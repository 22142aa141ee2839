#!/bin/sh
# Builds the peer comparison (in build-peers/, beside the normal build) and
# runs it, rewriting bench/RESULTS.md. Needs libgeos-dev and libboost-dev.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
cmake -S "$root" -B "$root/build-peers" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSPATIALGEOM_BENCH_PEERS=ON \
  -DSPATIALGEOM_BUILD_TESTS=OFF -DSPATIALGEOM_BUILD_BENCH=OFF -DSPATIALGEOM_BUILD_TOOLS=OFF >/dev/null
cmake --build "$root/build-peers" -j2 --target peer_comparison
"$root/build-peers/bench/peers/peer_comparison" "$root/bench/RESULTS.md"
