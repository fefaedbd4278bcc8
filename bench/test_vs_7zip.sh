#!/usr/bin/env bash
# Times `vaskel-cli test FILE` (read every stream, SHA-256 each) against `7zz t FILE` (decode and
# CRC-check) in the same run, alternating the two, and prints medians and the ratio.
# Usage: bench/test_vs_7zip.sh [FILE.chm ...]
#   default: the largest corpus file, and when chmcmd is installed the two help files it compiles
#   (bench/chmcmd_inputs.sh; INPUTS names their folder, default /dev/shm/vaskel-bench-inputs).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/median_time.sh"
cli=${VASKEL_CLI:-$here/../build-release/cli/vaskel-cli}
runs=${RUNS:-5}
[[ -x "$cli" ]] || { echo "build first: cmake --build build-release (or set VASKEL_CLI)" >&2; exit 1; }
files=("$@")
if [[ ${#files[@]} -eq 0 ]]; then
  files=("$here/../../shared/corpus/real/lcl.chm")
  if command -v chmcmd >/dev/null; then
    inputs=${INPUTS:-/dev/shm/vaskel-bench-inputs}
    "$here/chmcmd_inputs.sh" "$inputs"
    files+=("$inputs/pages.chm" "$inputs/streams.chm")
  fi
fi
printf '%-24s %10s %10s %8s\n' file vaskel 7zz ratio
for file in "${files[@]}"; do
  bench_alternating "$runs" vaskel "'$cli' test '$file'" 7zz "7zz t '$file'"
  printf '%-24s %9.3fs %9.3fs %8s\n' "$(basename "$file")" "${MEDIANS[vaskel]}" \
    "${MEDIANS[7zz]}" "$(ratio "${MEDIANS[vaskel]}" "${MEDIANS[7zz]}")"
done
