# Shared by the benchmark scripts: times commands alternately and prints medians.
# Source it, then call: bench_alternating RUNS "label1" "cmd1" "label2" "cmd2" ...
# Results land in the associative array MEDIANS[label] (seconds).
declare -A MEDIANS

_seconds() {  # runs one command line, prints its wall time in seconds
  local start end
  start=$(date +%s.%N)
  bash -c "$1" >/dev/null 2>&1 || echo "warning: '$1' failed" >&2
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f\n", b - a }'
}

bench_alternating() {
  local runs=$1
  shift
  local -a labels=() commands=()
  while [[ $# -gt 0 ]]; do
    labels+=("$1")
    commands+=("$2")
    shift 2
  done
  local -A samples=()
  for ((run = 0; run < runs; run++)); do
    for i in "${!labels[@]}"; do
      samples[${labels[$i]}]+="$(_seconds "${commands[$i]}") "
    done
  done
  for label in "${labels[@]}"; do
    MEDIANS[$label]=$(tr ' ' '\n' <<<"${samples[$label]}" | sed '/^$/d' | sort -g |
      awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}')
  done
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
