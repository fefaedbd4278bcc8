#!/usr/bin/env bash
# vaskel-cli list: for every real help file, the rows name exactly the files 7-Zip lists, with
# their sizes, less those the catalogue leaves out (a path component beginning with '#' or '$',
# and the '::' system entries); "Total N file(s)" counts them; misuse and unreadable files
# give exit status 2.
set -euo pipefail
cli="${VASKEL_BIN:?}/vaskel-cli"
corpus="${VASKEL_CORPUS:?}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

"$cli" list --help >"$work/help" || fail "list --help exited non-zero"
grep -q '^examples:' "$work/help" || fail "list --help shows no examples"
set +e
"$cli" list >/dev/null 2>&1
[[ $? -eq 2 ]] || fail "list without a file should exit 2"
"$cli" list "$work/no-such.chm" >/dev/null 2>"$work/err"
[[ $? -eq 2 ]] || fail "list of a missing file should exit 2"
set -e

if ! command -v 7zz >/dev/null; then
  echo "SKIP: 7zz (Debian package 7zip) is not installed"
  exit $failed
fi
shopt -s nullglob
for file in "$corpus"/real/*; do
  name=$(basename "$file")
  if ! "$cli" list "$file" >"$work/rows" 2>"$work/err"; then
    fail "vaskel-cli list $name exited non-zero: $(cat "$work/err")"
    continue
  fi
  rows=$(wc -l <"$work/rows")
  grep -qx "Total $rows file(s)" "$work/err" || fail "$name: no \"Total $rows file(s)\" line"
  awk -F'\t' 'NF != 4 { bad = 1 } END { exit bad }' "$work/rows" ||
    fail "$name: a row without exactly four columns"
  awk -F'\t' '{ print $4 $1 "\t" $2 }' "$work/rows" | LC_ALL=C sort >"$work/actual"
  # 7-Zip gives folders an empty Method.
  7zz l -slt "$file" | awk '
    /^----------$/ { listing = 1; next }
    !listing { next }
    /^Path = / { path = substr($0, 8) }
    /^Size = / { size = substr($0, 8) }
    /^Method = / {
      if (substr($0, 10) == "") next
      hidden = path ~ /(^|\/)[#$]/ || path ~ /^::/
      if (!hidden) print path "\t" size
    }' | LC_ALL=C sort >"$work/expected"
  if ! diff -u "$work/expected" "$work/actual" >"$work/diff"; then
    fail "$name: rows differ from 7-Zip's listing:"
    head -20 "$work/diff"
  else
    echo "ok: $name ($rows rows)"
  fi
done
exit $failed
