#!/usr/bin/env bash
# Plays orbivale-glide under its own Xvfb with real key presses: title, menu,
# a few seconds of a level, Quit, the closing picture, a key to end. Expects
# exit code 0, the best-times file written, and a picture on every screen.
# Usage: glide_plays_a_game.sh PROGRAM DATA_DIR [SCREENSHOT_DIR]
set -u
program=$1
data=$2
shots=${3:-}
work=$(mktemp -d)
trap 'kill -9 $xvfb_pid $game_pid 2>/dev/null; rm -rf "$work"' EXIT

# The server picks a free display itself, so parallel runs never meet.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(head -n 1 "$work/display" 2>/dev/null)
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }

cp -r "$data" "$work/game"
rm -f "$work/game/misc/highScore.dat"
cd "$work/game"
SDL_AUDIODRIVER=dummy "$program" >"$work/out.log" 2>&1 &
game_pid=$!

window=""
for _ in $(seq 300); do
  window=$(xdotool search --name '^Orbivale$' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "no window named Orbivale"; cat "$work/out.log"; exit 1; }
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || xdotool windowfocus "$window"

failed=0
# Takes a screenshot of the window and checks that it is not one flat colour.
shot() {
  local name=$1
  sleep 0.7
  import -window "$window" "$work/$name.png" 2>/dev/null || { echo "no screenshot $name"; failed=1; return; }
  [ -n "$shots" ] && cp "$work/$name.png" "$shots/$name.png"
  local colours
  colours=$(identify -format '%k' "$work/$name.png")
  if [ "${colours:-0}" -lt 16 ]; then echo "screen $name shows only $colours colours"; failed=1; fi
}
key() { xdotool key --window "$window" --delay 120 "$@"; sleep 0.2; }

shot title
key Escape
shot menu
key Return
sleep 2
shot level_start
xdotool keydown Up; sleep 1.5; xdotool keydown Left; sleep 0.7; xdotool keyup Left
xdotool keydown Right; sleep 0.7; xdotool keyup Right; sleep 0.5; xdotool keyup Up
shot playing
key Escape
shot playing_menu
key Down Down Down
shot quit_selected
key Return
shot closing
[ -f misc/highScore.dat ] || { echo "misc/highScore.dat was not saved"; failed=1; }
key space
for _ in $(seq 100); do
  kill -0 "$game_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$game_pid" 2>/dev/null; then
  echo "program did not end after a key on the closing picture"; cat "$work/out.log"; exit 1
fi
wait "$game_pid"
status=$?
cat "$work/out.log"
[ "$status" -eq 0 ] || { echo "exit code $status"; exit 1; }
[ "$failed" -eq 0 ] || exit 1
echo "played through to the closing picture, exit code 0, best times saved"
