#!/usr/bin/env bash
# The desktop entry, registered for a throw-away user, makes Vaskel a handler of the CHM types
# ("Open With") and, once chosen, their default; opening two help files that way while the first
# window is still open starts two programs, each with its own window.
# Environment: VASKEL_BUILD (the build folder). The window part needs DISPLAY (./test gives one).
set -uo pipefail
build=${VASKEL_BUILD:?}
root_dir="$(cd "$(dirname "$0")/../.." && pwd)"
program="$build/app/vaskel"
[[ -x "$program" ]] || { echo "build vaskel first" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/vaskel-desktop-XXXXXX")
stop_programs() {
  [[ -f "$work/launches" ]] || return 0
  local pid
  for pid in $(cut -d' ' -f1 "$work/launches"); do kill "$pid" 2>/dev/null; done
  for pid in $(cut -d' ' -f1 "$work/launches"); do
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  done
}
trap 'stop_programs; rm -rf "$work"' EXIT
failures=0
check() {  # check "what" command...: the command must succeed
  local what=$1
  shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

export HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
applications="$XDG_DATA_HOME/applications"
mkdir -p "$HOME" "$applications" "$XDG_CONFIG_HOME" "$work/bin" "$work/files"
# `vaskel` on the PATH, as installed; it notes each start (its process id and arguments).
cat >"$work/bin/vaskel" <<SCRIPT
#!/usr/bin/env bash
printf '%s\n' "\$\$ \$*" >>"$work/launches"
exec "$program" "\$@" 2>>"$work/program.log"
SCRIPT
chmod +x "$work/bin/vaskel"
export PATH="$work/bin:$PATH"

check "desktop-file-install" desktop-file-install --dir="$applications" \
  "$root_dir/packaging/vaskel.desktop"
check "update-desktop-database" update-desktop-database "$applications"
check "Vaskel handles application/vnd.ms-htmlhelp (Open With)" \
  grep -qx 'application/vnd.ms-htmlhelp=vaskel.desktop;' "$applications/mimeinfo.cache"
check "Vaskel handles application/x-chm (Open With)" \
  grep -qx 'application/x-chm=vaskel.desktop;' "$applications/mimeinfo.cache"

check "xdg-mime default" xdg-mime default vaskel.desktop application/vnd.ms-htmlhelp
default=$(xdg-mime query default application/vnd.ms-htmlhelp)
check "xdg-mime query default finds vaskel.desktop" test "$default" = vaskel.desktop

# What GTK file managers ask: GIO's view of the type's handlers.
if command -v gio >/dev/null; then
  gio mime application/vnd.ms-htmlhelp >"$work/gio-mime" 2>&1
  check "GIO's default for application/vnd.ms-htmlhelp is Vaskel" \
    grep -q 'Default application for .application/vnd.ms-htmlhelp.: vaskel.desktop' \
    "$work/gio-mime"
  gio info -a standard::content-type "$build/res/vaskel-sample.chm" >"$work/gio-info" 2>&1
  check "a writer-made help file is application/vnd.ms-htmlhelp to GIO" \
    grep -q 'content-type: application/vnd.ms-htmlhelp$' "$work/gio-info"
fi

# --- opening two files from the "file manager" -----------------------------------------------
# On a display of its own when Xvfb is there, so that these windows and the window tests
# running beside them do not meet.
if command -v Xvfb >/dev/null; then
  source "$root_dir/tools/virtual-display.sh"
  unset DISPLAY
  start_virtual_display || unset DISPLAY
  trap 'stop_programs; kill "${VASKEL_XVFB_PID:-}" 2>/dev/null; rm -rf "$work"' EXIT
fi
if [[ -z "${DISPLAY:-}" ]] || ! command -v gio >/dev/null || ! command -v xwininfo >/dev/null
then
  echo "skip the windows: no display, gio or xwininfo"
else
  first="$work/files/first help.chm"
  second="$work/files/second.chm"
  cp "$build/res/vaskel-sample.chm" "$first"
  cp "$build/res/vaskel-sample.chm" "$second"
  window_pid() {  # window_pid TITLE: the process id of the top-level window so titled
    local id
    id=$(xwininfo -root -tree | awk -v t="\"$1\":" 'index($0, t) {print $1; exit}')
    [[ -n "$id" ]] && xprop -id "$id" _NET_WM_PID | awk '{print $3}'
  }
  wait_for_window() {  # wait_for_window TITLE: until it shows or the program ends
    local title=$1
    for _ in $(seq 600); do
      [[ -n "$(window_pid "$title")" ]] && return 0
      [[ -f "$work/launches" ]] || { sleep 0.1; continue; }
      local alive=0 pid
      for pid in $(cut -d' ' -f1 "$work/launches"); do kill -0 "$pid" 2>/dev/null && alive=1; done
      if [[ $alive -eq 0 ]]; then
        echo "  the program ended before showing \"$title\"; what it printed:"
        sed 's/^/  | /' "$work/program.log" 2>/dev/null
        return 1
      fi
      sleep 0.1
    done
    echo "  no window \"$title\""
    return 1
  }
  gio open "$first" >>"$work/gio.log" 2>&1
  check "the first file opens in a window" wait_for_window "first help.chm - Vaskel"
  gio open "$second" >>"$work/gio.log" 2>&1
  check "the second file opens in a window" wait_for_window "second.chm - Vaskel"
  check "the first window stays" test -n "$(window_pid "first help.chm - Vaskel")"
  check "each window is a program of its own" \
    test "$(window_pid "first help.chm - Vaskel")" != "$(window_pid "second.chm - Vaskel")"
  check "the desktop entry passed each file's path" diff -u \
    <(printf '%s\n' "$first" "$second") <(cut -d' ' -f2- "$work/launches")
fi

[[ $failures -eq 0 ]] || { echo "$failures check(s) failed"; exit 1; }
