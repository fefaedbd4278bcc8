# Sourced by ./test and tools/screenshot: starts a virtual X display (Xvfb) on a free display
# number when DISPLAY is unset, exports DISPLAY, and stops it when the shell exits.
start_virtual_display() {
  [[ -n "${DISPLAY:-}" ]] && return 0
  local number
  for number in $(seq 90 199); do
    [[ -e "/tmp/.X${number}-lock" || -e "/tmp/.X11-unix/X${number}" ]] && continue
    Xvfb ":${number}" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    VASKEL_XVFB_PID=$!
    trap 'kill "$VASKEL_XVFB_PID" 2>/dev/null || true' EXIT
    for _ in $(seq 100); do
      [[ -e "/tmp/.X11-unix/X${number}" ]] && break
      kill -0 "$VASKEL_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    if [[ -e "/tmp/.X11-unix/X${number}" ]]; then
      export DISPLAY=":${number}"
      return 0
    fi
    kill "$VASKEL_XVFB_PID" 2>/dev/null || true
  done
  echo "could not start a virtual display (Xvfb)" >&2
  return 1
}
