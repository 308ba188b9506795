#!/usr/bin/env bash
# F11 on a bare X server (no window manager, a 16:9 screen): the window must
# cover the screen with the 4:3 picture between black bars, and each way back
# must put it exactly where and as large as it was.
set -u
program=$1
data=$2
work=$(mktemp -d)
source "$(dirname "$0")/session.sh"

start_xvfb 1280x720x24
use_data_copy "$data"
start_game "$program"
focus_game_window

geometry() { xwininfo -id "$window" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x "," y " " w "x" h}'; }
# Waits up to 20 s for the window to reach a geometry.
wait_geometry() {
  for _ in $(seq 200); do [ "$(geometry)" = "$1" ] && return 0; sleep 0.1; done
  echo "$2: the window is $(geometry), not $1"; cat "$work/out.log"; exit 1
}
# Colours in a part of the screen (WxH+X+Y).
colours() { import -window root -crop "$1" +repage "$work/part.png" 2>/dev/null && identify -format '%k' "$work/part.png"; }
brightest() { import -window root -crop "$1" +repage "$work/part.png" 2>/dev/null && convert "$work/part.png" -format '%[fx:int(255*maxima)]' info:; }
# Waits up to 20 s for a part of the screen to show the picture.
wait_picture() {
  for _ in $(seq 100); do [ "$(colours "$1")" -ge 16 ] 2>/dev/null && return 0; sleep 0.2; done
  echo "$2: no picture in $1 ($(colours "$1") colours)"; exit 1
}

wait_picture 640x480+320+120 "the title"
place=$(geometry)
echo "window at $place"
for round in 1 2; do
  xdotool key --window "$window" F11
  wait_geometry "0,0 1280x720" "full screen $round"
  # 960 x 720 from x = 160: the picture to the screen's edges top and bottom.
  wait_picture 900x40+190+0 "full screen $round, top"
  wait_picture 900x40+190+680 "full screen $round, bottom"
  for bar in 150x720+0+0 150x720+1130+0; do
    [ "$(brightest "$bar")" -le 8 ] || { echo "full screen $round: bar $bar is not black"; exit 1; }
  done
  xdotool key --window "$window" F11
  wait_geometry "$place" "back from full screen $round"
done
echo "full screen filled 1280x720 letterboxed and came back to $place twice"
