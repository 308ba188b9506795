#!/usr/bin/env bash
# The desktop orbivale-gl's first pictures of the title and of level 1 under
# a private Xvfb (Mesa's llvmpipe), for the browser test to compare its own
# with; then a short run of level 1 is recorded and watched again, and its
# picture after 60 recorded frames kept as well (a watched run's frames do
# not depend on the machine's speed). Writes OUT_DIR/title.rgb, level1.rgb,
# run.orbreplay and run/replay-60.rgb. Usage: desktop_frames.sh PROGRAM DATA_DIR OUT_DIR
set -u
program=$(realpath "$1")
data=$(realpath "$2")
out=$(realpath -m "$3")
work=$(mktemp -d)
source "$(dirname "$0")/../tests/e2e/session.sh"

# Waits up to 30 s for a picture file of the right size.
wait_for_picture() {
  for _ in $(seq 300); do
    [ "$(stat -c %s "$out/$1.rgb" 2>/dev/null)" = 921600 ] && return 0
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "the desktop program showed no $1 picture"; cat "$work/out.log"; exit 1
}

mkdir -p "$out"
rm -f "$out"/*.rgb
start_xvfb 800x600x24
use_data_copy "$data"
ORBIVALE_FIRST_FRAMES=$out start_game "$program"
focus_game_window
wait_for_picture title
xdotool key --window "$window" Escape
xdotool key --window "$window" Return
wait_for_picture level1
xdotool keydown --window "$window" Up
wait_for_picture level1-120
xdotool keyup --window "$window" Up
xdotool key --window "$window" --delay 150 Escape Down Down Down Return 2>/dev/null
expect_clean_exit "after Quit"
cp replays/maps_level1.map-last.orbreplay "$out/run.orbreplay" || exit 1

mkdir -p "$out/run"
ORBIVALE_FIRST_FRAMES=$out/run start_game "$program" --replay "$out/run.orbreplay"
wait_for_picture run/replay-60
echo "desktop pictures of the title, level 1 and a watched run in $out"
