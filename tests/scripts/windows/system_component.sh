#!/usr/bin/env bash
# Differential test under Wine: our reader against the platform's own compiled-help component
# (vaskel-cli --component=system), stream by stream (names and SHA-256, so sizes too), on every
# real help file; then both on the malformed files, where the platform's may fail but ours must
# neither crash nor hang. Streams only one side could read are reported, not failed: the
# platform's component is not ours to mend. A stream both read with different bytes fails.
# Environment: VASKEL_BIN (folder holding vaskel-cli), VASKEL_CORPUS (corpus folder).
set -uo pipefail
cli=${VASKEL_BIN:?}/vaskel-cli
corpus=${VASKEL_CORPUS:?}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
shopt -s nullglob nocaseglob

failed=0
for file in "$corpus"/real/*.chm; do
  name=$(basename "$file")
  "$cli" test "$file" 2>/dev/null | sort -k2 >"$work/ours"
  "$cli" --component=system test "$file" 2>"$work/system.err" | sort -k2 >"$work/system"
  # Paths both read, with their sums side by side.
  join -1 2 -2 2 -o 0,1.1,2.1 "$work/ours" "$work/system" >"$work/both"
  differing=$(awk '$2 != $3' "$work/both" | wc -l)
  only_ours=$(join -1 2 -2 2 -v 1 "$work/ours" "$work/system" | wc -l)
  only_system=$(join -1 2 -2 2 -v 2 "$work/ours" "$work/system" | wc -l)
  echo "$name: ours $(wc -l <"$work/ours"), system $(wc -l <"$work/system"), same $(
    awk '$2 == $3' "$work/both" | wc -l), different $differing, only ours $only_ours, only system $only_system"
  if [[ $only_ours -gt 0 ]]; then
    join -1 2 -2 2 -v 1 "$work/ours" "$work/system" | head -3 | sed 's/^/  only ours: /'
    grep -v '^[0-9]* streams' "$work/system.err" | head -2 | sed 's/^/  system said: /'
  fi
  if [[ $differing -gt 0 ]]; then
    echo "FAIL: $name: streams whose bytes differ:"
    awk '$2 != $3' "$work/both" | head -5 | sed 's/^/  /'
    failed=1
  fi
done

for file in "$corpus"/malformed/*; do
  name=$(basename "$file")
  timeout 120 "$cli" test "$file" >/dev/null 2>"$work/ours.err"
  ours=$?
  timeout 120 "$cli" --component=system test "$file" >/dev/null 2>"$work/system.err"
  system=$?
  echo "malformed $name: ours exit $ours, system exit $system"
  if [[ $ours -gt 2 ]]; then
    echo "FAIL: $name: ours ended with $ours (crash or hang):"
    head -3 "$work/ours.err" | sed 's/^/  /'
    failed=1
  fi
done
exit $failed
