# The one way the project starts a private X server, for the scripts and the C++ tests alike.
# Run, `bash xvfb.sh [GEOMETRY [PREFIX...]]` becomes the server (through PREFIX, e.g. `chroot ROOT`)
# and prints its display number on a line once it takes clients; the tests' XvfbServer runs it so.
# Sourced, start_xvfb [GEOMETRY [PREFIX...]] starts it, exports DISPLAY and remembers its pid, and
# stop_xvfb ends it. -displayfd: the server picks a free display and says which, so nothing is
# guessed or waited for by the clock. -noreset: without it the server resets whenever its last
# client disconnects, and a client connecting at that moment fails.

xvfb_server() {
  local geometry=${1:-1280x1024x24}
  shift || true
  exec "$@" Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "$geometry" 3>&1 >/dev/null
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  xvfb_server "$@"
fi

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
