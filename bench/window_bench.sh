#!/usr/bin/env bash
# Builds one of the window benchmarks and runs it on a virtual display.
# Usage: bench/window_bench.sh TARGET [arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
target=$1
shift
build=${VASKEL_BENCH_BUILD:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVASKEL_BUILD_TESTS=OFF \
  >/dev/null
cmake --build "$build" --target "$target" >/dev/null
source tools/virtual-display.sh
start_virtual_display
"$build/bench/$target" "$@"
