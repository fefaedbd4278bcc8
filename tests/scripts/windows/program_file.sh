#!/usr/bin/env bash
# vaskel.exe is one file that runs on its own: a window program (no console) that needs only
# the system's DLLs, carries the program's icon ahead of wxWidgets' own (Explorer shows the first
# by name), a manifest asking for common controls 6 and per-monitor DPI awareness, and its
# version. Read with 7-Zip, which lists a program's resources, and objdump.
# Environment: VASKEL_WINDOWS_BUILD (tools/test-windows).
set -uo pipefail
program=${VASKEL_WINDOWS_BUILD:?}/app/vaskel.exe
if [[ ! -f "$program" ]]; then
  echo "SKIP: no $program (built without the window)"
  exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

headers=$(x86_64-w64-mingw32-objdump -p "$program")
grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || fail "not a window program (subsystem)"
# Only DLLs every Windows has: nothing of MinGW's runtime, wxWidgets, libpng, zlib or expat.
foreign=$(grep 'DLL Name:' <<<"$headers" | awk '{print tolower($3)}' |
          grep -Ev '^(kernel32|user32|gdi32|comdlg32|comctl32|advapi32|shell32|shlwapi|ole32|oleaut32|uuid|rpcrt4|winspool|winmm|uxtheme|version|oleacc|msvcrt|ntdll|bcrypt|ws2_32|imm32|msimg32|dwmapi|usp10|gdiplus|propsys|crypt32|wininet|winhttp)\.dll$')
[[ -z "$foreign" ]] || fail "needs DLLs beside it: $foreign"

resources=$(7zz l -slt "$program" 2>/dev/null | sed -n 's/^Path = //p')
first_icon=$(grep '^\.rsrc/GROUP_ICON/' <<<"$resources" | sort | head -n 1)
[[ "$first_icon" == ".rsrc/GROUP_ICON/AAAA_VASKEL" ]] ||
  fail "the first icon group is '$first_icon', not the program's"
7zz e -so "$program" '.rsrc/MANIFEST/1' >"$work/manifest" 2>/dev/null ||
  fail "no manifest resource 1"
grep -q 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' "$work/manifest" ||
  fail "the manifest does not ask for common controls 6"
grep -q '<dpiAwareness[^>]*>PerMonitorV2' "$work/manifest" ||
  fail "the manifest does not declare per-monitor DPI awareness"
7zz e -so "$program" '.rsrc/version.txt' 2>/dev/null | tr -d '\0' | grep -q 'OriginalFilename.*vaskel\.exe' ||
  fail "no version resource naming vaskel.exe"
[[ $failed -eq 0 ]] && echo "PASS: vaskel.exe is one window program with its icon, manifest and version"
exit $failed
