#!/usr/bin/env bash
# Builds and runs the window's open benchmark on a virtual display: help files of 20,000 and
# 100,000 streams, the first (cold) open and the median of the following ones.
# Usage: bench/open_window_bench.sh [runs]
exec "$(dirname "$0")/window_bench.sh" open_window_bench "${1:-5}"
