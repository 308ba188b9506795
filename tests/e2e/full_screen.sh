#!/usr/bin/env bash
# F11 on a bare X server (no window manager) with a 16:9 screen: the window
# covers the screen, the 4:3 picture between black bars; F11 again gives the
# window back its place and size.
set -u
work=$(mktemp -d)
source "$(dirname "$0")/session.sh"
start_xvfb 1280x720x24
use_data_copy "$2"
start_game "$1"
focus_game_window
geometry() { xwininfo -id "$window" | awk '/upper-left X/{x=$4} /upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x "," y " " w "x" h}'; }
# Waits up to 20 s for a check to hold.
wait_until() { for _ in $(seq 100); do eval "$1" && return 0; sleep 0.2; done; echo "not seen: $1"; exit 1; }
part() { import -window root -crop "$1" +repage "$work/part.png" 2>/dev/null && identify -format "$2" "$work/part.png"; }
wait_until '[ "$(part 640x480+320+120 %k)" -ge 16 ]'
place=$(geometry)
xdotool key --window "$window" F11
wait_until '[ "$(geometry)" = "0,0 1280x720" ]'
# 960 x 720 from x = 160: the picture reaches the top and bottom, bars stay black.
wait_until '[ "$(part 900x40+190+0 %k)" -ge 16 ] && [ "$(part 900x40+190+680 %k)" -ge 16 ]'
wait_until '[ "$(part 150x720+0+0 %[max])" -le 2000 ] && [ "$(part 150x720+1130+0 %[max])" -le 2000 ]'
xdotool key --window "$window" F11
wait_until '[ "$(geometry)" = "$place" ]'
echo "full screen filled 1280x720 letterboxed and came back to $place"
