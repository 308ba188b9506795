#!/usr/bin/env bash
# Starts a program in a copy of its data folder under its own Xvfb, finds
# its 640 x 480 "Orbivale" window, closes it through the window system and
# expects exit code 0 with no best-times file written (closing saves a table
# only when it changed, and nothing was played here).
set -u
program=$1
closer=$2
data=$3
work=$(mktemp -d)
source "$(dirname "$0")/session.sh"

start_xvfb 1024x768x24

cp -r "$data"/. "$work"/
cd "$work"
start_game "$program"

find_window

geometry=$(xwininfo -id "$window" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
[ "$geometry" = "640x480" ] || { echo "window is $geometry, not 640x480"; exit 1; }

failed=0
shot title # drawn, and any first-start box answered
[ $failed = 0 ] || exit 1
"$closer" "$window" || exit 1
expect_clean_exit "after the window was closed"
if [ -e highScore.dat ] || [ -e misc/highScore.dat ]; then echo "closing the window saved the best times"; exit 1; fi
# orbivale-gl's first start announces its new table in a box that holds the
# game until it is answered.
if grep -q '^Notice: Creating new highScores file' "$work/out.log" && boxes_can_show; then
  grep -qx Notice "$work/boxes.log" || { echo "the Notice box was not seen"; exit 1; }
  echo "the Notice box appeared and was answered"
fi
echo "window $geometry closed, exit code 0"
