#!/usr/bin/env bash
# Starts a program in a copy of its data folder under its own Xvfb, finds
# its 640 x 480 "Orbivale" window, closes it through the window system and
# expects exit code 0 with no best-times file written (only Quit saves it).
set -u
program=$1
closer=$2
data=$3
work=$(mktemp -d)
trap 'kill -9 $xvfb_pid $game_pid 2>/dev/null; rm -rf "$work"' EXIT

# The server picks a free display itself, so parallel runs never meet.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(head -n 1 "$work/display" 2>/dev/null)
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }

cp -r "$data"/. "$work"/
cd "$work"
# Mesa's driver leaves a few blocks behind when SDL unloads it at exit, with
# no module name left to attribute them to; our own code's leaks are checked
# by every other test of the sanitized build.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" SDL_AUDIODRIVER=dummy "$program" >"$work/out.log" 2>&1 &
game_pid=$!

window=""
for _ in $(seq 300); do
  window=$(xdotool search --name '^Orbivale$' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "no window named Orbivale"; cat "$work/out.log"; exit 1; }

geometry=$(xwininfo -id "$window" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
[ "$geometry" = "640x480" ] || { echo "window is $geometry, not 640x480"; exit 1; }

sleep 0.5
"$closer" "$window" || exit 1
for _ in $(seq 100); do
  kill -0 "$game_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$game_pid" 2>/dev/null; then
  echo "program did not end after the window was closed"; cat "$work/out.log"; exit 1
fi
wait "$game_pid"
status=$?
cat "$work/out.log"
[ "$status" -eq 0 ] || { echo "exit code $status"; exit 1; }
if [ -e highScore.dat ] || [ -e misc/highScore.dat ]; then echo "closing the window saved the best times"; exit 1; fi
echo "window $geometry closed, exit code 0"
