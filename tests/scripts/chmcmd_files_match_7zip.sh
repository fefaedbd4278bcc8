#!/usr/bin/env bash
# A help file compiled by chmcmd (really LZX-compressed, files stored in an order unrelated to
# their names): `vaskel-cli unpack` writes what `7zz x` writes, `vaskel-cli test` prints the
# same sums in the order of the names; with a damaged frame shared by several files, each of
# them is named, none is left on disk, and every other file is still written.
# Environment: VASKEL_BIN (folder holding vaskel-cli).
set -uo pipefail
for tool in 7zz chmcmd python3; do
  command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 0; }
done
cli=${VASKEL_BIN:?}/vaskel-cli
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/vaskel-chmcmd-XXXXXX")
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8
failures=0
check() {  # check "what" command...: the command must succeed
  local what=$1
  shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

python3 "$here/../../tools/chmcmd_tree.py" pages 300 "$work/pages" &&
  (cd "$work/pages" && chmcmd project.hhp >/dev/null 2>&1) || { echo "FAIL chmcmd"; exit 1; }
7zz x "$work/pages.chm" -o"$work/theirs" -y -bso0 -bsp0 >/dev/null || { echo "FAIL 7zz"; exit 1; }
find "$work/theirs" -depth -mindepth 1 -name '[#$]*' -exec rm -rf {} +

check "unpack exits 0" "$cli" unpack "$work/pages.chm" -o "$work/ours" 2>/dev/null
check "unpack writes what 7zz writes" diff -r "$work/ours" "$work/theirs"

"$cli" test "$work/pages.chm" >"$work/sums" 2>/dev/null
check "test prints the sums in the order of the names" \
  cmp -s <(awk '{ print $2 }' "$work/sums") <("$cli" tree "$work/pages.chm" 2>/dev/null |
                                               awk -F'\t' '$1 == "F" { print $2 }')
check "test's sums are those of 7zz's files" \
  bash -c "cd '$work/theirs' && grep -v -e '  [#\$]' -e '/[#\$]' '$work/sums' | sha256sum -c --quiet"

# 2 KiB of 0xFF in the middle of the compressed data damages a frame and those after it up to
# the next reset point.
python3 -c "
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
middle = len(data) // 2
data[middle:middle + 2048] = b'\xff' * 2048
open(sys.argv[2], 'wb').write(data)" "$work/pages.chm" "$work/damaged.chm"
"$cli" unpack "$work/damaged.chm" -o "$work/damaged" 2>"$work/damaged.log"
check "a damaged file exits 1" test $? -eq 1
sed -n 's|^vaskel-cli: [^:]*: cannot read "\(.*\)" from the help file: .*|\1|p' \
  "$work/damaged.log" >"$work/named"
check "several files named as damaged" test "$(wc -l <"$work/named")" -ge 2
check "no damaged file left on disk" \
  bash -c "while IFS= read -r f; do [[ ! -e '$work/damaged/'\$f ]] || exit 1; done <'$work/named'"
check "every other file written whole" bash -c "
  cd '$work/theirs' && find . -type f | sed 's|^\./||' | grep -vxF -f '$work/named' |
  while IFS= read -r f; do cmp -s \"\$f\" '$work/damaged/'\"\$f\" || { echo \"differs: \$f\"; exit 1; }; done"
check "summary counts the damaged" grep -q "damaged and left out" "$work/damaged.log"

((failures == 0)) || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed"
