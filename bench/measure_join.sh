#!/usr/bin/env bash
# Measures `spatialgeom join --tolerance 0.1` on generated inputs of growing
# size (bench/generate_join_input.py) and prints
# a Markdown table (wall time, CPU time, peak memory, pairs found).
# usage: bench/measure_join.sh [TOOL] [SIZES...]
#   TOOL defaults to build/tools/spatialgeom; SIZES to 10000 100000 1000000.
set -euo pipefail
cd "$(dirname "$0")/.."
tool=${1:-build/tools/spatialgeom}
shift || true
sizes=("$@")
((${#sizes[@]})) || sizes=(10000 100000 1000000)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "| lines per file | threads | wall s | CPU s | peak MB | pairs |"
echo "|---:|---:|---:|---:|---:|---:|"
for size in "${sizes[@]}"; do
  python3 bench/generate_join_input.py "$size" 1 "$work/a.wkt"
  python3 bench/generate_join_input.py "$size" 2 "$work/b.wkt"
  for threads in 1 "$(nproc)"; do
    /usr/bin/time -f "%e %U %S %M" -o "$work/time" \
      "$tool" join "$work/a.wkt" "$work/b.wkt" --tolerance 0.1 --threads "$threads" > "$work/pairs"
    awk -v size="$size" -v threads="$threads" -v pairs="$(wc -l < "$work/pairs")" \
      '{ printf "| %s | %s | %s | %.2f | %d | %s |\n", size, threads, $1, $2 + $3, $4 / 1024, pairs }' "$work/time"
  done
done
