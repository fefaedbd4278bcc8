#!/usr/bin/env bash
# Builds and runs the Run-on-a-page benchmark on a virtual display, the preview folder on tmpfs.
# Usage: bench/run_page_bench.sh [help file] [runs]
exec "$(dirname "$0")/window_bench.sh" run_page_bench "$@"
