#!/usr/bin/env bash
# Builds and runs the Run-on-a-page benchmark on a virtual display, the preview folder on tmpfs.
# Usage: bench/run_page_bench.sh [help file] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${VASKEL_BENCH_BUILD:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVASKEL_BUILD_TESTS=OFF \
  >/dev/null
cmake --build "$build" --target run_page_bench >/dev/null
source tools/virtual-display.sh
start_virtual_display
"$build/bench/run_page_bench" "$@"
