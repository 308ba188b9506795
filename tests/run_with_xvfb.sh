#!/usr/bin/env bash
# Runs a command against its own private Xvfb on a display number the server
# picks itself, so that parallel runs never meet (no sound card needed).
# XVFB_SCREEN sets the screen (default 1920x1080x24).
set -u
work=$(mktemp -d)
xvfb_pid=""
trap '[ -n "$xvfb_pid" ] && kill -9 $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT

Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1920x1080x24}" -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=:$(head -n 1 "$work/display")
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

export SDL_AUDIODRIVER=dummy
export SDL_VIDEODRIVER=x11
"$@"
