#!/usr/bin/env bash
# Times `vaskel-cli decompile` against `vaskel-cli unpack` of the same help file, alternating the
# two within each round (the output folder emptied before each, outside the timing), and prints
# the medians and their ratio: decompiling costs the reading of #SYSTEM, #WINDOWS, #IVB and
# #STRINGS and one more small file over the unpack.
#
# Usage: bench/decompile_vs_unpack.sh [FILE.chm]   (default: the corpus's lcl.chm)
# Environment: BUILD (default build-release), OUT_ROOT (default /dev/shm), RUNS (default 9).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${BUILD:-$here/../build-release}/cli/vaskel-cli
[[ -x "$cli" ]] || { echo "missing $cli: build it first (or set BUILD)" >&2; exit 1; }
chm=${1:-${VASKEL_CORPUS_DIR:-$here/../../shared/corpus}/real/lcl.chm}
[[ -f "$chm" ]] || { echo "missing $chm: name a help file" >&2; exit 1; }
runs=${RUNS:-9}
work=$(mktemp -d "${OUT_ROOT:-/dev/shm}/vaskel-decompile-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

declare -A samples=()
time_one() {  # time_one LABEL COMMAND...: appends the command's wall time in seconds
  local label=$1 start end
  shift
  rm -rf "$work/out"
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || { echo "$label failed: $*" >&2; exit 1; }
  end=$(date +%s%N)
  samples[$label]+="$(((end - start) / 1000000)) "
}
for ((run = 0; run < runs; run++)); do
  time_one unpack "$cli" unpack "$chm" -o "$work/out"
  time_one decompile "$cli" decompile "$chm" "$work/out"
done
# rank LABEL N: the Nth smallest sample (on a busy machine the fastest rounds are the fairest)
rank() { tr ' ' '\n' <<<"${samples[$1]}" | sed '/^$/d' | sort -n | sed -n "$2p"; }
median=$(((runs + 1) / 2))
echo "$(basename "$chm"), $runs rounds; samples in ms:"
echo "  unpack    ${samples[unpack]}"
echo "  decompile ${samples[decompile]}"
awk -v u="$(rank unpack "$median")" -v d="$(rank decompile "$median")" \
  -v um="$(rank unpack 1)" -v dm="$(rank decompile 1)" 'BEGIN {
    printf "median: unpack %d ms, decompile %d ms, decompile / unpack = %.3f\n", u, d, d / u
    printf "fastest: unpack %d ms, decompile %d ms, decompile / unpack = %.3f\n", um, dm, dm / um }'
