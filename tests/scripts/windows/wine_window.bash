# Sourced by the Windows scripts that drive a window under Wine with xdotool.

# Prints the id of the first window whose title matches the pattern, waiting up to the given
# seconds (default 60); fails when none shows.
wait_for_window() {
  local pattern=$1 deadline=$((SECONDS + ${2:-60})) id
  while ((SECONDS < deadline)); do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1)
    if [[ -n "$id" ]]; then
      echo "$id"
      return 0
    fi
    sleep 0.25
  done
  return 1
}

# Asks a program (its image name, and the process id of the `wine` that started it) to close as
# Windows' own task list does: WM_CLOSE to its windows, again while a dialog goes first. Waits up
# to 30 seconds and ends it by force if it stays.
close_program() {
  local image=$1 pid=$2
  for _ in $(seq 30); do
    kill -0 "$pid" 2>/dev/null || return 0
    wine taskkill /im "$image" >/dev/null 2>&1
    sleep 1
  done
  wine taskkill /f /im "$image" >/dev/null 2>&1
  return 1
}
