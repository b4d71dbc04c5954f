#!/usr/bin/env bash
# Starts a command on a virtual screen, waits, and saves the screen as a PNG.
#   scripts/screenshot.sh OUT.png SECONDS COMMAND [ARGS...]
# Environment: SCREEN_SIZE (default 1280x800). Nothing is typed or clicked: reach the state
# to capture with the program's own options (for getkelo: a prepared --config folder).
set -euo pipefail
if [ $# -lt 3 ]; then
  echo "usage: $0 OUT.png SECONDS COMMAND [ARGS...]" >&2
  exit 2
fi
out=$1; wait_s=$2; shift 2
size=${SCREEN_SIZE:-1280x800}
display=:$(( 90 + RANDOM % 100 ))
Xvfb "$display" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
if command -v xdpyinfo >/dev/null; then
  for _ in $(seq 50); do
    xdpyinfo -display "$display" >/dev/null 2>&1 && break
    sleep 0.1
  done
else
  sleep 1
fi
DISPLAY=$display "$@" &
app_pid=$!
sleep "$wait_s"
if ! kill -0 "$app_pid" 2>/dev/null; then
  echo "$0: the command ended before the screenshot" >&2
  exit 1
fi
# import, not xwd -root: xwd leaves every window but the first one black on this server.
import -display "$display" -window root "png:$out"
echo "saved $out"
