#!/usr/bin/env bash
# Under Wine: a help file whose names Windows would resolve elsewhere ("../x", "C:/x",
# "a\..\..\x", "CON", "aux.txt", names ending in a dot or a space) or that it allows in no
# name (holding < > " | ? *) unpacks only its ordinary files, below the target folder, and
# warns of the ones left out. Read by the platform's own
# component, which lists them all, the extraction refuses them itself.
# Environment: VASKEL_BIN, VASKEL_WINDOWS_BUILD (the Windows build folder), WINEPREFIX.
set -uo pipefail
cli=${VASKEL_BIN:?}/vaskel-cli
writer=${VASKEL_WINDOWS_BUILD:?}/tools/vaskel-chm-write.exe
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/out"

hostile=('/../x' '/C:/x' '/C:x' '/a\..\..\x' '/CON' '/aux.txt' '/sub/NUL.htm' '/x.' '/dots./y'
         '/space /z' '/sub/com1' '/why?.htm' '/star*.htm' '/a<b>.htm' '/pipe|x' '/sub/say"hi"')
wine "$writer" "$work/hostile.chm" --raw '/ok.htm' '/sub/ok2.htm' "${hostile[@]}" ||
  { echo "FAIL: could not write the help file"; exit 1; }

failed=0
# Nothing may appear anywhere but below the target folder: not beside it, not on drive C:.
outside() {
  (cd "$work" && find . -mindepth 1 ! -path './out' ! -path './out/target' \
     ! -path './out/target/*' ! -name 'hostile.chm' ! -name '*.log')
  [[ -n "${WINEPREFIX:-}" ]] && find "$WINEPREFIX/drive_c" -maxdepth 1 -name x
}

"$cli" unpack "$work/hostile.chm" -o "$work/out/target" 2>"$work/ours.log"
status=$?
tree=$(cd "$work/out/target" && find . -type f | sort | tr '\n' ' ')
if [[ $status -ne 0 || "$tree" != "./ok.htm ./sub/ok2.htm " ]]; then
  echo "FAIL: ours: exit $status, wrote: $tree"; sed 's/^/  /' "$work/ours.log"; failed=1
fi
if ! grep -q "${#hostile[@]} entries with unsafe names" "$work/ours.log"; then
  echo "FAIL: ours: no warning counting the ${#hostile[@]} names left out:"
  sed 's/^/  /' "$work/ours.log"; failed=1
fi

rm -rf "$work/out/target"
"$cli" --component=system unpack "$work/hostile.chm" -o "$work/out/target" 2>"$work/system.log"
echo "system component: exit $?; $(grep -c 'refused' "$work/system.log") refusal(s):"
sed 's/^/  /' "$work/system.log"

if [[ -n "$(outside)" ]]; then
  echo "FAIL: written outside the target folder:"; outside | sed 's/^/  /'; failed=1
fi
[[ $failed -eq 0 ]] && echo "ok: nothing outside the target folder; ours warned"
exit $failed
