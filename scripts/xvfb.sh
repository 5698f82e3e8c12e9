# Source it: starts a private Xvfb display for this shell and stops it on exit.
pl_start_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break
  done
  Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  PL_XVFB_PID=$!
  export DISPLAY=:$n
  for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && return 0; sleep 0.1; done
  echo "Xvfb did not start on :$n" >&2
  return 1
}
pl_stop_xvfb() { [ -n "${PL_XVFB_PID:-}" ] && kill "$PL_XVFB_PID" 2>/dev/null || true; }
