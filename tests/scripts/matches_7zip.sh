#!/usr/bin/env bash
# Differential test against 7-Zip, for every real help file in the corpus and two compiled by
# chmcmd (really LZX-compressed, files stored in an order unrelated to their names):
#   list    rows name exactly the files 7-Zip lists, with their sizes, less those the catalogue
#           leaves out (a name at any level beginning with '#' or '$', and '::' entries);
#           "Total N file(s)" counts them; misuse and unreadable files give exit status 2
#   test    the SHA-256 of every stream equals that of the file 7-Zip extracts
#   unpack  the tree written equals the tree `7zz x` writes less what the catalogue leaves out
#           (folders left empty by that pruning are not compared)
#   chmcmd  on a chmcmd-made file: `test` prints the sums in the order of the names; with a
#           damaged frame shared by several files, each of them is named, none is left on disk,
#           and every other file is still written
# CHECKS picks some of them (default: all). Environment: VASKEL_BIN (folder holding
# vaskel-cli), VASKEL_CORPUS (corpus folder).
set -uo pipefail
cli=${VASKEL_BIN:?set VASKEL_BIN to the folder holding vaskel-cli}/vaskel-cli
corpus=${VASKEL_CORPUS:?set VASKEL_CORPUS to the corpus folder}
checks=" ${CHECKS:-list test unpack chmcmd} "
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/vaskel-7zip-XXXXXX")
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8  # so that 7-Zip writes non-ASCII names as UTF-8, as vaskel-cli does
failures=0
check() {  # check "what" command...: the command must succeed; its output shows when it fails
  local what=$1
  shift
  if "$@" >"$work/out" 2>&1; then
    echo "ok   $what"
  else
    echo "FAIL $what"
    head -20 "$work/out" | sed "s|$work/||g; s/^/  /"
    failures=$((failures + 1))
  fi
}
wanted() { [[ $checks == *" $1 "* ]]; }
exits() { local want=$1; shift; "$@" >/dev/null 2>&1; [[ $? -eq $want ]]; }

if wanted list; then
  check "list --help shows examples" bash -c "'$cli' list --help | grep -q '^examples:'"
  check "list without a file exits 2" exits 2 "$cli" list
  check "list of a missing file exits 2" exits 2 "$cli" list "$work/no-such.chm"
fi
if ! command -v 7zz >/dev/null; then
  echo "SKIP: 7zz (Debian package 7zip) is not installed"
  exit $((failures > 0))
fi

extract() {  # extract FILE DIR: 7-Zip's tree, less what the catalogue leaves out when $3 = pruned
  rm -rf "$2"
  7zz x "$1" -o"$2" -y -bso0 -bsp0 >/dev/null || return 1
  [[ ${3:-} != pruned ]] || find "$2" -depth -mindepth 1 -name '[#$]*' -exec rm -rf {} +
}

list_matches() {
  "$cli" list "$1" >"$work/rows" 2>"$work/err" || { cat "$work/err"; return 1; }
  local rows
  rows=$(wc -l <"$work/rows")
  grep -qx "Total $rows file(s)" "$work/err" || { echo "no \"Total $rows file(s)\" line"; return 1; }
  awk -F'\t' 'NF != 4 { bad = 1 } END { exit bad }' "$work/rows" || {
    echo "a row without exactly four columns"
    return 1
  }
  # 7-Zip gives folders an empty Method.
  diff -u <(7zz l -slt "$1" | awk '
      /^----------$/ { listing = 1; next }
      !listing { next }
      /^Path = / { path = substr($0, 8) }
      /^Size = / { size = substr($0, 8) }
      /^Method = / {
        if (substr($0, 10) == "") next
        if (path !~ /(^|\/)[#$]/ && path !~ /^::/) print path "\t" size
      }' | sort) <(awk -F'\t' '{ print $4 $1 "\t" $2 }' "$work/rows" | sort)
}

test_matches() {
  extract "$1" "$work/theirs" || return 1
  "$cli" test "$1" >"$work/sums" 2>"$work/err" || { cat "$work/err"; return 1; }
  diff -u <(cd "$work/theirs" && find . -type f -printf '%P\0' | xargs -0 -r sha256sum | sort -k2) \
    <(sort -k2 "$work/sums")
}

unpack_matches() {
  rm -rf "$work/ours"
  "$cli" unpack "$1" -o "$work/ours" 2>"$work/err" || { cat "$work/err"; return 1; }
  extract "$1" "$work/theirs" pruned || return 1
  find "$work/theirs" "$work/ours" -mindepth 1 -depth -type d -empty -delete
  diff -r "$work/ours" "$work/theirs"
}

shopt -s nullglob
files=("$corpus"/real/*)
[[ ${#files[@]} -gt 0 ]] || { echo "FAIL: no help files in $corpus/real"; failures=$((failures + 1)); }
made=
if command -v chmcmd >/dev/null && command -v python3 >/dev/null; then
  project="$work/small"
  mkdir -p "$project/sub"
  printf '<html><body>Start</body></html>\n' >"$project/index.html"
  printf '<html><body>Unterseite \xc3\xbc</body></html>\n' >"$project/sub/Seite.html"
  : >"$project/empty.html"
  printf '[OPTIONS]\nCompiled file=small.chm\nDefault topic=index.html\nTitle=t\n\n[FILES]\nindex.html\nsub/Seite.html\nempty.html\n' \
    >"$project/small.hhp"
  (cd "$project" && chmcmd small.hhp >/dev/null 2>&1)
  python3 "$here/../../tools/chmcmd_tree.py" pages 300 "$work/pages" &&
    (cd "$work/pages" && chmcmd project.hhp >/dev/null 2>&1)
  made="$work/pages.chm"
  files+=("$project/small.chm" "$made")
else
  echo "note: chmcmd or python3 is not installed; the chmcmd-made files are skipped"
fi

for file in "${files[@]}"; do
  for what in list test unpack; do
    if wanted $what; then check "$what $(basename "$file")" "${what}_matches" "$file"; fi
  done
done

if [[ -n $made ]] && wanted chmcmd; then
  extract "$made" "$work/theirs" pruned
  "$cli" test "$made" >"$work/sums" 2>/dev/null
  check "test prints the sums in the order of the names" \
    cmp <(awk '{ print $2 }' "$work/sums") <("$cli" tree "$made" 2>/dev/null |
                                              awk -F'\t' '$1 == "F" { print $2 }')

  # 2 KiB of 0xFF in the middle of the compressed data damages a frame and those after it up to
  # the next reset point.
  python3 -c "
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
middle = len(data) // 2
data[middle:middle + 2048] = b'\xff' * 2048
open(sys.argv[2], 'wb').write(data)" "$made" "$work/damaged.chm"
  "$cli" unpack "$work/damaged.chm" -o "$work/damaged" 2>"$work/damaged.log"
  check "a damaged file exits 1" test $? -eq 1
  sed -n 's|^vaskel-cli: [^:]*: cannot read "\(.*\)" from the help file: .*|\1|p' \
    "$work/damaged.log" >"$work/named"
  check "several files named as damaged" test "$(wc -l <"$work/named")" -ge 2
  check "no damaged file left on disk" \
    bash -c "while IFS= read -r f; do [[ ! -e '$work/damaged/'\$f ]] || exit 1; done <'$work/named'"
  check "every other file written whole" bash -c "
    cd '$work/theirs' && find . -type f | sed 's|^\./||' | grep -vxF -f '$work/named' |
    while IFS= read -r f; do cmp \"\$f\" '$work/damaged/'\"\$f\" || exit 1; done"
  check "summary counts the damaged" grep -q "damaged and left out" "$work/damaged.log"
fi

((failures == 0)) || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed"
