#!/usr/bin/env bash
# The Windows window's figures, in one run on this machine: opening a help file (default the
# corpus's lcl.chm) up to "Total N file(s)" and the Unpack of all its rows against
# `vaskel-cli unpack`, under Wine and in the Linux window; the sizes of vaskel.exe and
# vaskel-setup.exe; the time of the first wxWidgets build (kept in its cache) and of a cached
# tools/build-windows.
# Usage: bench/windows_bench.sh [FILE.chm]   Environment: RUNS (default 5), OUT_ROOT (/dev/shm)
set -euo pipefail
cd "$(dirname "$0")/.."
file=$(realpath "${1:-../shared/corpus/real/lcl.chm}")
runs=${RUNS:-5}
out_root=${OUT_ROOT:-/dev/shm}
windows=${VASKEL_WINDOWS_BUILD:-build-windows}
linux=${VASKEL_BENCH_BUILD:-build-bench}

start=$SECONDS
tools/build-windows >/dev/null
cached_build=$((SECONDS - start))
cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVASKEL_BUILD_TESTS=OFF >/dev/null
cmake --build "$linux" --target unpack_window_bench vaskel-cli >/dev/null

unset DISPLAY
source tools/virtual-display.sh
start_virtual_display
source tools/wine-session.sh
start_wine_session
trap 'stop_wine_session; kill "${VASKEL_XVFB_PID:-}" 2>/dev/null || true' EXIT

echo "== Linux window (wxGTK), $runs runs"
VASKEL_CLI="$linux/cli/vaskel-cli" "$linux/bench/unpack_window_bench" "$file" "$out_root" "$runs"
echo "== Windows window (wxMSW) under Wine, $runs runs"
VASKEL_CLI=$(winepath -w "$windows/cli/vaskel-cli.exe") \
  wine "$windows/bench/unpack_window_bench.exe" "$(winepath -w "$file")" \
  "$(winepath -w "$out_root")" "$runs" 2>/dev/null ||
  echo "(the Windows benchmark ended with status $?)"

echo "== Sizes"
for program in "$windows/app/vaskel.exe" "$windows/vaskel-setup.exe" "$windows/cli/vaskel-cli.exe"; do
  [[ -f "$program" ]] && printf '%-40s %9d bytes\n' "$program" "$(stat -c %s "$program")"
done
echo "== Build times"
wx_prefix=$(tools/build-wxmsw | tail -n 1)
echo "first wxWidgets build: $(cat "$wx_prefix/.complete")"
echo "cached tools/build-windows (nothing to compile): ${cached_build} s"
