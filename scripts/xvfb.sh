# Sourced by the scripts that need a virtual X server. start_xvfb picks a free display itself
# (-displayfd), exports DISPLAY and remembers the server's pid; stop_xvfb ends it.
# -noreset: without it the server resets whenever its last client disconnects, and a client
# connecting at that moment fails.

start_xvfb() {
  local geometry=${1:-1280x1024x24}
  XVFB_DIR=$(mktemp -d)
  Xvfb -displayfd 1 -noreset -nolisten tcp -screen 0 "$geometry" >"$XVFB_DIR/display" 2>"$XVFB_DIR/log" &
  XVFB_PID=$!
  local waited=0
  while [ ! -s "$XVFB_DIR/display" ]; do
    if ! kill -0 "$XVFB_PID" 2>/dev/null || [ $waited -ge 300 ]; then
      echo "Xvfb did not start:" >&2
      cat "$XVFB_DIR/log" >&2
      return 1
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  export DISPLAY=":$(head -n1 "$XVFB_DIR/display")"
}

stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
  [ -n "${XVFB_DIR:-}" ] && rm -rf "$XVFB_DIR"
  XVFB_PID=
}
