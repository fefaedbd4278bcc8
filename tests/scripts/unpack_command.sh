#!/usr/bin/env bash
# vaskel-cli unpack and cat on a help file made by the project's writer: the tree written, --flat
# collisions, --only selections, exit statuses and what stays on disk after a failure.
# Environment: VASKEL_BIN (folder holding vaskel-cli), VASKEL_TOOLS (holding vaskel-chm-write),
# VASKEL_CORPUS (the help-file corpus, optional).
set -uo pipefail
cli=${VASKEL_BIN:?}/vaskel-cli
writer=${VASKEL_TOOLS:?}/vaskel-chm-write
[[ -x "$cli" && -x "$writer" ]] || { echo "build vaskel-cli and vaskel-chm-write first" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/vaskel-unpack-cli-XXXXXX")
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
check() {  # check "what" command...: the command must succeed
  local what=$1
  shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
status_is() {  # status_is EXPECTED command...
  local expected=$1
  shift
  "$@" >/dev/null 2>"$work/stderr"
  [[ $? -eq $expected ]]
}

src="$work/src"
mkdir -p "$src/html/deep" "$src/Other" "$src/#meta"
printf '<p>index</p>' >"$src/index.html"
printf 'body {}' >"$src/html/deep/style.css"
printf '<p>html page</p>' >"$src/html/page.html"
printf '<p>other page</p>' >"$src/Other/page.html"
printf 'Upper' >"$src/Other/ReadMe.TXT"
printf 'lower' >"$src/Other/readme.txt"
: >"$src/html/empty.txt"
head -c 300000 /dev/urandom >"$src/html/big.bin"
printf 'hidden' >"$src/#meta/inside.txt"
printf 'hidden' >"$src/\$skipped"
"$writer" "$work/made.chm" "$src" || { echo "FAIL cannot write the help file"; exit 1; }

# The whole catalogue: the source tree less the '#' and '$' entries.
expected="$work/expected"
cp -r "$src" "$expected"
rm -rf "$expected/#meta" "$expected/\$skipped"
check "unpack writes the source tree" status_is 0 "$cli" unpack "$work/made.chm" -o "$work/all"
check "tree and bytes equal the source" diff -r "$expected" "$work/all"
check "summary names files and bytes" grep -q "Unpacked 8 file(s), " "$work/stderr"

# list prints control characters in names as '?'.
mkdir -p "$work/control"
printf 'x' >"$work/control/del$(printf '\177')name.txt"
printf 'y' >"$work/control/tab$(printf '\t')name.txt"
"$writer" "$work/control.chm" "$work/control" || { echo "FAIL cannot write the help file"; exit 1; }
check "list prints control characters as '?'" \
  bash -c "'$cli' list '$work/control.chm' 2>/dev/null | cut -f1 | sort | paste -sd' ' |
           grep -qx 'del?name.txt tab?name.txt'"

# On a terminal, a progress line on standard error; not otherwise.
# script needs a pseudo-terminal; a build machine without /dev/pts has none.
if command -v script >/dev/null && script -qec true /dev/null >/dev/null 2>&1; then
  script -qec "'$cli' unpack '$work/made.chm' -o '$work/tty'" /dev/null >"$work/tty.log" 2>&1
  check "progress line on a terminal" grep -q "Unpacking:.*%" "$work/tty.log"
fi
check "no progress line otherwise" bash -c "! grep -q 'Unpacking:' '$work/stderr'"

# Unpacking again over the same tree replaces every file.
printf 'stale and longer than the original' >"$work/all/index.html"
check "a second unpack replaces existing files" status_is 0 "$cli" unpack "$work/made.chm" -o "$work/all"
check "replaced file has the stored bytes" cmp "$src/index.html" "$work/all/index.html"

# --flat: one folder; of the two page.html the one listed last remains.
check "flat unpack" status_is 0 "$cli" unpack "$work/made.chm" -o "$work/flat" --flat
check "flat unpack names the file written over" grep -Eq \
  "warning: 1 file was written over by a later file of the same name: (html|Other)/page.html$" \
  "$work/stderr"
last_page=$("$cli" list "$work/made.chm" 2>/dev/null | awk -F'\t' '$1 == "page.html" { p = $4 } END { print p }')
check "flat unpack makes no folders" test -z "$(find "$work/flat" -mindepth 1 -type d)"
check "flat collision: the last page.html wins" cmp "$src/${last_page}page.html" "$work/flat/page.html"

# --only: internal path plus name, '*' crossing folders, letter case counting; folders only
# for the chosen files.
check "unpack --only" status_is 0 "$cli" unpack "$work/made.chm" -o "$work/only" \
  --only '*.css' --only 'Other/read*'
check "--only writes exactly the chosen files" \
  test "$(cd "$work/only" && find . | sort | tr '\n' ' ')" = \
  ". ./Other ./Other/readme.txt ./html ./html/deep ./html/deep/style.css "
check "--only matching nothing writes nothing" status_is 0 "$cli" unpack "$work/made.chm" \
  -o "$work/none" --only 'nothing*'
check "--only matching nothing says so" grep -q "no file matches" "$work/stderr"

# A failure: a file where a folder must go. Exit 1, the file named, the files before it kept.
mkdir -p "$work/blocked"
printf 'in the way' >"$work/blocked/html"
check "a blocked folder exits 1" status_is 1 "$cli" unpack "$work/made.chm" -o "$work/blocked"
check "the error names the path" grep -q "$work/blocked/html" "$work/stderr"
printf 'in the way' >"$work/blocked2"
check "an output that is a file exits 1" status_is 1 "$cli" unpack "$work/made.chm" -o "$work/blocked2/x"

# Exit 2: no help file, or a wrong command line.
check "missing help file exits 2" status_is 2 "$cli" unpack "$work/missing.chm" -o "$work/m"
check "missing -o exits 2" status_is 2 "$cli" unpack "$work/made.chm"
check "unknown option exits 2" status_is 2 "$cli" unpack "$work/made.chm" -o "$work/m" --bogus

# A damaged help file from the corpus: the cause, then the reader's reason.
damaged=${VASKEL_CORPUS:-}/malformed/cve-2015-4467-reset-interval-zero.chm
if [[ -f "$damaged" ]]; then
  check "a damaged file's error names the reason" bash -c "'$cli' unpack '$damaged' -o '$work/d' \
    2>&1 | grep -q 'damaged help file: section 1 ControlData: bad reset interval 0 bytes'"
fi
# A damaged directory is never success: 300 files, the first listing chunk's free space made to
# leave room for two bytes of entries. test and unpack name the chunk and the reason and exit 1;
# unpack still writes the files the other chunks list.
mkdir -p "$work/many"
for i in $(seq 300); do printf 'page %d' "$i" >"$work/many/page$i.htm"; done
"$writer" "$work/many.chm" "$work/many" || { echo "FAIL cannot write the help file"; exit 1; }
python3 - "$work/many.chm" "$work/cut.chm" <<'PATCH'
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
le = lambda at, n: int.from_bytes(data[at:at + n], 'little')
itsp = le(0x48, 8)
size = le(itsp + 0x10, 4)
chunk = itsp + 0x54
while data[chunk:chunk + 4] != b'PMGL':
    chunk += size
data[chunk + 4:chunk + 8] = (size - 0x14 - 2).to_bytes(4, 'little')
open(sys.argv[2], 'wb').write(data)
PATCH
lost="damaged directory: directory chunk [0-9]+: an entry('s name)? (overruns|runs past)"
check "test of a damaged directory exits 1" status_is 1 "$cli" test "$work/cut.chm"
check "test names the chunk and the reason" grep -Eq "$lost" "$work/stderr"
check "unpack of a damaged directory exits 1" status_is 1 "$cli" unpack "$work/cut.chm" -o "$work/cut"
check "unpack names the chunk and the reason" grep -Eq "$lost" "$work/stderr"
check "decompile of a damaged directory exits 1" status_is 1 "$cli" decompile "$work/cut.chm" "$work/cutp"
check "decompile names the chunk and the reason" grep -Eq "$lost" "$work/stderr"
check "unpack writes the files still listed" \
  test "$(find "$work/cut" -type f | wc -l)" -gt 0 -a "$(find "$work/cut" -type f | wc -l)" -lt 300
undecodable=${VASKEL_CORPUS:-}/malformed/encints-64bit-both.chm
if [[ -f "$undecodable" ]]; then
  check "entries whose numbers do not decode make test exit 1" status_is 1 "$cli" test "$undecodable"
  check "and are named with their chunk" grep -q \
    "9 entries left out, the first in directory chunk 0: their section, offset or length does not decode" \
    "$work/stderr"
  check "and make unpack exit 1" status_is 1 "$cli" unpack "$undecodable" -o "$work/undecodable"
fi

# Every malformed file ends in an error or success within a minute: no crash, no hang.
for file in "${VASKEL_CORPUS:-/nonexistent}"/malformed/*.chm; do
  [[ -f "$file" ]] || continue
  for command in "test" "unpack -o $work/malformed"; do
    # shellcheck disable=SC2086
    check "$command $(basename "$file") ends" bash -c "timeout 60 '$cli' $command '$file' \
      >/dev/null 2>&1; [[ \$? -le 2 ]]"
  done
done
check "--help exits 0" status_is 0 "$cli" unpack --help
check "--help shows examples" bash -c "'$cli' unpack --help | grep -q 'examples:'"

# cat: one stream's bytes; exit 2 for an entry that is not there.
check "cat writes the bytes" bash -c "'$cli' cat '$work/made.chm' html/big.bin | cmp - '$src/html/big.bin'"
check "cat takes a leading slash and hidden entries" \
  bash -c "'$cli' cat '$work/made.chm' '/#meta/inside.txt' | cmp - '$src/#meta/inside.txt'"
check "cat of a missing entry exits 2" status_is 2 "$cli" cat "$work/made.chm" html/nothing
check "cat of a folder exits 2" status_is 2 "$cli" cat "$work/made.chm" html

if ((failures > 0)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
