#!/usr/bin/env bash
# Times `vaskel-cli unpack` against `7zz x`, `extract_chmLib` and the file system's floor
# (bench/write_floor writing the same tree from memory), alternating the commands within each
# round, and prints the medians, the ratios and the peak memory of each command.
#
# Usage: bench/unpack_vs_peers.sh [FILE.chm ...]
#   default files: the corpus's lcl.chm, two writer-made ones (made on first use): small.chm
#   (20,000 small files, stored order unrelated to name order) and large.chm (four 50 MB
#   streams), whose LZX blocks are stored; and, when chmcmd is installed, two it compiles (really
#   compressed, made on first use by bench/chmcmd_inputs.sh): pages.chm (20,000 small pages in
#   nested folders, non-ASCII names, listed in shuffled order) and streams.chm (two 50 MB streams
#   of text, two of random bytes).
# Environment:
#   BUILD     build folder (default: build-release beside this script's parent)
#   OUT_ROOT  where the trees are written: /dev/shm (default, stable) or a folder on disk
#   RUNS      rounds (default 5); STRACE=1 also counts each command's system calls;
#             VERBOSE=1 prints every sample; IDLE_WAIT=1 waits for idle CPUs before each round
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${BUILD:-$here/../build-release}
cli=$build/cli/vaskel-cli
floor=$build/bench/write_floor
maker=$build/tools/vaskel-make-bench-chm
runs=${RUNS:-5}
out_root=${OUT_ROOT:-/dev/shm}
for program in "$cli" "$floor" "$maker"; do
  [[ -x "$program" ]] || { echo "missing $program: build it first (or set BUILD)" >&2; exit 1; }
done
have_chmlib=0
command -v extract_chmLib >/dev/null && have_chmlib=1
command -v 7zz >/dev/null || { echo "7zz is needed" >&2; exit 1; }

work=$(mktemp -d "$out_root/vaskel-unpack-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
inputs=${INPUTS:-$out_root/vaskel-bench-inputs}
mkdir -p "$inputs"

files=("$@")
if [[ ${#files[@]} -eq 0 ]]; then
  for kind in small large; do
    [[ -f "$inputs/$kind.chm" ]] || "$maker" "$kind" "$inputs/$kind.chm"
  done
  files=("$here/../../shared/corpus/real/lcl.chm" "$inputs/small.chm" "$inputs/large.chm")
  if command -v chmcmd >/dev/null; then
    "$here/chmcmd_inputs.sh" "$inputs"
    files+=("$inputs/pages.chm" "$inputs/streams.chm")
  fi
fi

now_ns() { date +%s%N; }
# On a shared machine, IDLE_WAIT=1 waits (up to a minute) before each round until the CPUs have
# been at least 90% idle for a second, so that rounds are not measured against someone's build.
wait_for_idle() {
  [[ -n "${IDLE_WAIT:-}" ]] || return 0
  local deadline=$((SECONDS + 60)) a b
  while ((SECONDS < deadline)); do
    read -ra a </proc/stat
    sleep 1
    read -ra b </proc/stat
    local total=0 idle=$(((b[4] + b[5]) - (a[4] + a[5])))
    for i in 1 2 3 4 5 6 7 8; do total=$((total + b[i] - a[i])); done
    ((total > 0 && idle * 100 >= total * 90)) && return 0
  done
  echo "note: CPUs still busy, measuring anyway" >&2
}
median() { sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

fstype=$(df --output=fstype "$out_root" | tail -1)
# On a disk, ext4 spends most of a file creation skipping inodes freed in the last 30 s or so:
# deleting one run's tree right before the next would slow that run down. Trees are kept until
# a file's rounds are done, and deletions are given time to age.
settle_deletions() { [[ "$fstype" == tmpfs ]] || { sync; sleep "${SETTLE_SECONDS:-35}"; }; }

echo "output on $out_root ($fstype), median of $runs rounds"
printf '%-12s %9s %9s %9s %9s | %8s %9s %9s | %s\n' file vaskel 7zz chmlib floor \
  'v/7zz' 'v/floor' 'v/chmlib' 'peak MiB vaskel/7zz'
settle_deletions
for file in "${files[@]}"; do
  manifest="$work/manifest"
  "$cli" list "$file" >"$manifest" 2>/dev/null
  order=(vaskel 7zz floor)
  ((have_chmlib)) && order+=(chmlib)
  command_for() {  # command_for LABEL OUT
    case $1 in
      vaskel) echo "'$cli' unpack '$file' -o '$2'" ;;
      7zz) echo "7zz x '$file' -o'$2' -y -bso0 -bsp0" ;;
      floor) echo "'$floor' '$manifest' '$2'" ;;
      chmlib) echo "extract_chmLib '$file' '$2'" ;;
    esac
  }
  declare -A samples=()
  for ((run = 0; run < runs; run++)); do
    wait_for_idle
    for label in "${order[@]}"; do
      out="$work/out.$label.$run"
      [[ "$fstype" == tmpfs ]] && rm -rf "$work"/out.*
      sync
      start=$(now_ns)
      bash -c "$(command_for "$label" "$out")" >/dev/null 2>&1 || echo "warning: $label failed" >&2
      end=$(now_ns)
      samples[$label]+="$(awk -v a="$start" -v b="$end" 'BEGIN { print (b - a) / 1e9 }') "
    done
  done
  [[ -n "${VERBOSE:-}" ]] && for label in "${order[@]}"; do echo "  $label: ${samples[$label]}"; done
  declare -A med=()
  for label in "${order[@]}"; do
    med[$label]=$(tr ' ' '\n' <<<"${samples[$label]}" | sed '/^$/d' | median)
  done
  peak() {
    /usr/bin/time -f %M bash -c "exec $(command_for "$1" "$work/peak.$1") >/dev/null 2>/dev/null" \
      2>&1 | tail -1 | awk '{ printf "%.1f", $1 / 1024 }'
  }
  chmlib_time=${med[chmlib]:-0}
  printf '%-12s %8.3fs %8.3fs %8.3fs %8.3fs | %8s %9s %9s | %s / %s\n' "$(basename "$file")" \
    "${med[vaskel]}" "${med[7zz]}" "$chmlib_time" "${med[floor]}" \
    "$(ratio "${med[vaskel]}" "${med[7zz]}")" "$(ratio "${med[vaskel]}" "${med[floor]}")" \
    "$( ((have_chmlib)) && ratio "${med[vaskel]}" "$chmlib_time" || echo -)" \
    "$(peak vaskel)" "$(peak 7zz)"
  if [[ "${STRACE:-0}" == 1 ]] && command -v strace >/dev/null; then
    for label in vaskel floor 7zz; do
      strace -c -f -o "$work/strace" bash -c "exec $(command_for "$label" "$work/strace.$label")" \
        >/dev/null 2>&1 || true
      echo "  system calls, $label: $(awk '/total/ { print $4 }' "$work/strace") ($(
        awk '$NF ~ /^(openat|openat2|write|close|mkdir|mkdirat|newfstatat|pread64|futex)$/ {
               printf "%s %s ", $NF, $4 }' "$work/strace"))"
    done
  fi
  rm -rf "$work"/out.* "$work"/peak.* "$work"/strace.*
  settle_deletions
  unset samples med
done
