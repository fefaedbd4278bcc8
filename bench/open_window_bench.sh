#!/usr/bin/env bash
# Builds and runs the window's open benchmark on a virtual display: help files of 20,000 and
# 100,000 streams, the first (cold) open and the median of the following ones.
# Usage: bench/open_window_bench.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${VASKEL_BENCH_BUILD:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVASKEL_BUILD_TESTS=OFF \
  >/dev/null
cmake --build "$build" --target open_window_bench >/dev/null
source tools/virtual-display.sh
start_virtual_display
"$build/bench/open_window_bench" "${1:-5}"
