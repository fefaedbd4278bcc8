#!/usr/bin/env bash
# Differential test: for every real help file (and one made by chmcmd when it is installed),
# the SHA-256 of every stream vaskel-cli reads equals that of the file 7-Zip extracts.
set -euo pipefail
cli="${VASKEL_BIN:?}/vaskel-cli"
corpus="${VASKEL_CORPUS:?}"
if ! command -v 7zz >/dev/null; then
  echo "SKIP: 7zz (Debian package 7zip) is not installed"
  exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

files=()
[[ -d "$corpus/real" ]] && files+=("$corpus"/real/*)
if command -v chmcmd >/dev/null; then
  project="$work/project"
  mkdir -p "$project/sub"
  printf '<html><body>Start</body></html>\n' >"$project/index.html"
  printf '<html><body>Unterseite \xc3\xbc</body></html>\n' >"$project/sub/Seite.html"
  : >"$project/empty.html"
  printf '[OPTIONS]\nCompiled file=made.chm\nDefault topic=index.html\nTitle=t\n\n[FILES]\nindex.html\nsub/Seite.html\nempty.html\n' \
    >"$project/made.hhp"
  (cd "$project" && chmcmd made.hhp >/dev/null 2>&1)
  files+=("$project/made.chm")
else
  echo "note: chmcmd is not installed; the chmcmd-made case is skipped"
fi
[[ ${#files[@]} -gt 0 ]] || { echo "SKIP: no help files found in $corpus/real"; exit 0; }

failed=0
for file in "${files[@]}"; do
  name=$(basename "$file")
  out="$work/x-$name"
  7zz x -y -o"$out" "$file" >/dev/null
  (cd "$out" && find . -type f -printf '%P\0' | xargs -0 -r sha256sum | sort -k2) >"$work/expected"
  if ! "$cli" test "$file" 2>"$work/err" | sort -k2 >"$work/actual"; then
    echo "FAIL: vaskel-cli test $name exited non-zero: $(cat "$work/err")"
    failed=1
    continue
  fi
  if ! diff -u "$work/expected" "$work/actual" >"$work/diff"; then
    echo "FAIL: $name differs from 7-Zip:"
    head -20 "$work/diff"
    failed=1
  else
    echo "ok: $name ($(wc -l <"$work/actual") streams)"
  fi
  rm -rf "$out"
done
exit $failed
