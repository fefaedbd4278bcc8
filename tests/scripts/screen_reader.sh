#!/usr/bin/env bash
# The window as a screen reader finds it through AT-SPI, on lcl.chm of the corpus: every
# focusable object named, the catalogue's rows and headers, a sort by Size, the Unpack dialog's
# field and the status text (screen_reader.py). Runs in a D-Bus session of its own on the test
# display. Environment: VASKEL_BUILD, VASKEL_BIN, VASKEL_CORPUS.
set -uo pipefail
here=$(dirname "$0")
vaskel=${VASKEL_BUILD:?}/app/vaskel
cli=${VASKEL_BIN:?}/vaskel-cli
help_file=${VASKEL_CORPUS:?}/real/lcl.chm
if [[ ! -x "$vaskel" || -z "${DISPLAY:-}" ]]; then
  echo "SKIP: needs the window ($vaskel) and a display"
  exit 0
fi
[[ -f "$help_file" ]] || { echo "SKIP: $help_file is missing"; exit 0; }
work=$(mktemp -d "${TMPDIR:-/tmp}/vaskel-screen-reader-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
# The system's Python, where Debian's GObject bindings live.
HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime \
  GTK_A11Y=atk NO_AT_BRIDGE=0 ASAN_OPTIONS=detect_leaks=0 \
  dbus-run-session -- /usr/bin/python3 "$here/screen_reader.py" "$vaskel" "$cli" "$help_file" "$@"
