#!/usr/bin/env bash
# Differential test: for every help file in $VASKEL_CORPUS/real, the tree `vaskel-cli unpack`
# writes must equal the tree `7zz x` writes, less what the catalogue leaves out (every entry
# with a '#' or '$' name at any level; 7-Zip itself hides the '::' ones). Names and bytes are
# compared with diff -r; folders left empty by that pruning are not compared.
# Environment: VASKEL_BIN (folder holding vaskel-cli), VASKEL_CORPUS (corpus folder).
set -uo pipefail

if ! command -v 7zz >/dev/null 2>&1; then
  echo "skipped: 7zz is not installed"
  exit 0
fi
cli=${VASKEL_BIN:?set VASKEL_BIN to the folder holding vaskel-cli}/vaskel-cli
corpus=${VASKEL_CORPUS:?set VASKEL_CORPUS to the corpus folder}/real
[[ -x "$cli" ]] || { echo "no $cli: build vaskel-cli first" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/vaskel-unpack-diff-XXXXXX")
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8  # so that 7-Zip writes non-ASCII names as UTF-8, as vaskel-cli does

shopt -s nullglob nocaseglob
files=("$corpus"/*.chm)
if [[ ${#files[@]} -eq 0 ]]; then
  echo "no help files in $corpus" >&2
  exit 1
fi

failures=0
for file in "${files[@]}"; do
  name=$(basename "$file")
  ours="$work/ours" theirs="$work/theirs"
  rm -rf "$ours" "$theirs"
  if ! "$cli" unpack "$file" -o "$ours" 2>"$work/ours.log"; then
    echo "FAIL $name: vaskel-cli unpack failed:"
    sed 's/^/  /' "$work/ours.log"
    failures=$((failures + 1))
    continue
  fi
  if ! 7zz x "$file" -o"$theirs" -y -bso0 -bsp0 >"$work/theirs.log" 2>&1; then
    echo "FAIL $name: 7zz x failed:"
    sed 's/^/  /' "$work/theirs.log"
    failures=$((failures + 1))
    continue
  fi
  mkdir -p "$ours" "$theirs"
  find "$theirs" -depth -mindepth 1 -name '[#$]*' -exec rm -rf {} +
  find "$theirs" "$ours" -mindepth 1 -depth -type d -empty -delete
  if diff -r "$ours" "$theirs" >"$work/diff.log" 2>&1; then
    echo "ok   $name: $(find "$ours" -type f | wc -l) files"
  else
    echo "FAIL $name: trees differ ($(wc -l <"$work/diff.log") lines of diff):"
    head -20 "$work/diff.log" | sed "s|$work/||g; s/^/  /"
    failures=$((failures + 1))
  fi
done
if ((failures > 0)); then
  echo "$failures of ${#files[@]} help files differ"
  exit 1
fi
echo "all ${#files[@]} help files match"
