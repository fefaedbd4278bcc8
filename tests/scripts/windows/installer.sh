#!/usr/bin/env bash
# Under Wine, in a Wine installation of its own: vaskel-setup.exe /S installs the program, its
# command-line tool, help and tips, a Start menu entry and an "Open with" offer for .chm that
# leaves the type's default program alone; the installed program opens a help file; the silent
# uninstaller then leaves no file and no registry key of ours but the user's profile.
# Environment: VASKEL_WINDOWS_BUILD, DISPLAY (tools/test-windows).
set -uo pipefail
build=${VASKEL_WINDOWS_BUILD:?}
setup=$build/vaskel-setup.exe
if [[ ! -f "$setup" ]]; then
  echo "SKIP: no $setup (made when makensis is installed and the window is built)"
  exit 0
fi
source "$(dirname "$0")/wine_window.bash"
source "$(dirname "$0")/../../../tools/wine-session.sh"
# A fresh installation: whatever the other tests registered is not in the way of the checks.
start_wine_session
trap stop_wine_session EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }
# The registry as Wine keeps it: text files, written when wineserver ends.
registry() { wineserver -w; cat "$WINEPREFIX"/system.reg "$WINEPREFIX"/user.reg; }
chm_default() { registry | awk '/^\[Software\\\\Classes\\\\.chm\]/{s=1; next} /^\[/{s=0} s && /^@=/'; }

default_before=$(chm_default)
wine "$setup" /S >/dev/null 2>&1 || fail "the installer exited with $?"
wineserver -w
folder="$WINEPREFIX/drive_c/Program Files/Vaskel"
for file in vaskel.exe vaskel-cli.exe VaskelHelp.chm tips.txt uninstall.exe; do
  [[ -f "$folder/$file" ]] || fail "not installed: $file"
done
find "$WINEPREFIX/drive_c" -iname 'Vaskel.lnk' | grep -q . || fail "no Start menu entry"
installed=$(registry)
for key in 'Software\\\\Classes\\\\Applications\\\\vaskel.exe\\\\shell\\\\open\\\\command' \
           'Software\\\\Classes\\\\.chm\\\\OpenWithList\\\\vaskel.exe' \
           'Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Vaskel' \
           'Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\vaskel.exe'; do
  grep -qi "^\[$key\]" <<<"$installed" || fail "no registry key $key"
done
[[ "$(chm_default)" == "$default_before" ]] ||
  fail "the installer changed .chm's default program: '$default_before' -> '$(chm_default)'"

# The installed program, started through the shell (App Paths), on the installed help file.
(cd / && wine start vaskel.exe /Embedding "$(winepath -w "$folder/VaskelHelp.chm")") \
  >/dev/null 2>&1
if window=$(wait_for_window '^VaskelHelp\.chm - Vaskel$'); then
  [[ -n "$window" ]]
else
  fail "the installed program showed no window for VaskelHelp.chm"
fi
wine taskkill /im vaskel.exe >/dev/null 2>&1
for _ in $(seq 30); do
  xdotool search --name ' - Vaskel$' >/dev/null 2>&1 || break
  wine taskkill /im vaskel.exe >/dev/null 2>&1
  sleep 1
done

# The uninstaller copies itself to the temporary folder and runs from there: wait for it.
wine "$folder/uninstall.exe" /S >/dev/null 2>&1
wineserver -w
left=$(find "$WINEPREFIX/drive_c" -iname '*vaskel*')
[[ -z "$left" ]] || fail "files left after uninstalling:"$'\n'"$left"
# Registry text mentioning us outside the profile's own keys.
ours=$(registry | awk '/^\[/{profile = tolower($0) ~ /^\[software\\\\local appwizard-generated applications\\\\vaskel/}
                     !profile && tolower($0) ~ /vaskel/')
[[ -z "$ours" ]] || fail "registry entries left after uninstalling:"$'\n'"$ours"
[[ "$(chm_default)" == "$default_before" ]] || fail "uninstalling changed .chm's default program"
[[ $failed -eq 0 ]] && echo "PASS: installed, ran, uninstalled cleanly"
exit $failed
