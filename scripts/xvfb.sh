# A private X server, started one way for the scripts and the C++ tests. Run as
# `bash xvfb.sh [GEOMETRY [PREFIX...]]`, it becomes the server (run through PREFIX, e.g. `chroot ROOT`)
# and prints its display number once it takes clients (XvfbServer runs it so); sourced, start_xvfb
# with the same arguments exports DISPLAY and stop_xvfb ends the server. -displayfd: the server picks
# a free display itself. -noreset: else it resets whenever its last client disconnects, and a client
# connecting at that moment fails.

xvfb_server() {
  exec "${@:2}" Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "${1:-1280x1024x24}" 3>&1 >/dev/null
}
[ "${BASH_SOURCE[0]}" != "$0" ] || xvfb_server "$@"

start_xvfb() {
  XVFB_LOG=$(mktemp)
  exec {XVFB_FD}< <(xvfb_server "$@" 2>"$XVFB_LOG")
  XVFB_PID=$!
  local number=
  if ! read -r -t 30 -u "$XVFB_FD" number || [ -z "$number" ]; then
    echo "Xvfb did not start:" >&2
    cat "$XVFB_LOG" >&2
    stop_xvfb
    return 1
  fi
  export DISPLAY=:$number
}

stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    exec {XVFB_FD}<&-
  fi
  [ -n "${XVFB_LOG:-}" ] && rm -f "$XVFB_LOG"
  XVFB_PID=
}
