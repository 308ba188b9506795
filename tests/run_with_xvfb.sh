#!/usr/bin/env bash
# Runs a command against its own private Xvfb (no sound card needed).
set -u
work=$(mktemp -d)
xvfb_pid=""
trap '[ -n "$xvfb_pid" ] && kill -9 $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT

for attempt in 1 2 3; do
  display=:$((500 + RANDOM % 400))
  Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  export DISPLAY=$display
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  xdpyinfo >/dev/null 2>&1 && break
  kill -9 $xvfb_pid 2>/dev/null
  xvfb_pid=""
done
[ -n "$xvfb_pid" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }

export SDL_AUDIODRIVER=dummy
export SDL_VIDEODRIVER=x11
"$@"
