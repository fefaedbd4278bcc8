#!/usr/bin/env bash
# Under Wine: vaskel.exe, started as a person would (with a '/' flag), opens a help file named on
# its command line, answers its keyboard (Ctrl+O's file dialog, Escape), closes when asked and
# remembers the file in its registry profile.
# Environment: VASKEL_WINDOWS_BUILD, VASKEL_CORPUS, WINEPREFIX, DISPLAY (tools/test-windows).
set -uo pipefail
program=${VASKEL_WINDOWS_BUILD:?}/app/vaskel.exe
file=${VASKEL_CORPUS:?}/real/clam.chm
if [[ ! -f "$program" ]]; then
  echo "SKIP: no $program (built without the window)"
  exit 0
fi
if ! command -v xdotool >/dev/null || [[ -z "${DISPLAY:-}" ]]; then
  echo "SKIP: needs xdotool and a display"
  exit 0
fi
source "$(dirname "$0")/wine_window.bash"

failed=0
wine "$program" /Embedding "$(winepath -w "$file")" >/dev/null 2>&1 &
pid=$!
window=$(wait_for_window '^clam\.chm - Vaskel$') || {
  echo "FAIL: no window titled 'clam.chm - Vaskel' within a minute"
  close_program vaskel.exe "$pid"
  exit 1
}

xdotool windowfocus --sync "$window" key ctrl+o 2>/dev/null
if dialog=$(wait_for_window '^Open$' 20); then
  xdotool windowfocus --sync "$dialog" key Escape 2>/dev/null
  for _ in $(seq 40); do
    xdotool search --name '^Open$' >/dev/null 2>&1 || break
    sleep 0.25
  done
  if xdotool search --name '^Open$' >/dev/null 2>&1; then
    echo "FAIL: Escape left the Open dialog up"; failed=1
  fi
else
  echo "FAIL: Ctrl+O showed no dialog titled 'Open'"; failed=1
fi

close_program vaskel.exe "$pid" || { echo "FAIL: the window did not close when asked"; failed=1; }
recent=$(wine reg query \
  'HKCU\Software\Local AppWizard-Generated Applications\Vaskel\Recent File List' 2>/dev/null)
if ! grep -qi 'clam\.chm' <<<"$recent"; then
  echo "FAIL: the registry's Recent File List does not hold clam.chm:"; echo "$recent"; failed=1
fi
[[ $failed -eq 0 ]] && echo "PASS: vaskel.exe opened, answered and closed under Wine"
exit $failed
