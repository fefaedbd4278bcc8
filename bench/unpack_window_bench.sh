#!/usr/bin/env bash
# Builds and runs the window's Unpack benchmark on a virtual display: all rows of each help file,
# unsorted and sorted by Size, against `vaskel-cli unpack` of the same file.
# Usage: bench/unpack_window_bench.sh [FILE.chm ...]   (default: the corpus's lcl.chm)
# Environment: OUT_ROOT (default /dev/shm), RUNS (default 5), VASKEL_BENCH_BUILD.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${VASKEL_BENCH_BUILD:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVASKEL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target unpack_window_bench vaskel-cli >/dev/null
source tools/virtual-display.sh
start_virtual_display
files=("$@")
[[ ${#files[@]} -gt 0 ]] || files=("$(pwd)/../shared/corpus/real/lcl.chm")
for file in "${files[@]}"; do
  VASKEL_CLI="$build/cli/vaskel-cli" "$build/bench/unpack_window_bench" "$file" \
    "${OUT_ROOT:-/dev/shm}" "${RUNS:-5}"
done
