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
source "$(dirname "$0")/session.sh"

start_xvfb 800x600x24

use_data_copy "$data"
rm -f misc/highScore.dat
SDL_AUDIODRIVER=dummy "$program" >"$work/out.log" 2>&1 &
game_pid=$!

focus_game_window

failed=0

shot title
key Escape
shot menu title
key Return
shot level_start menu
xdotool keydown Up; sleep 1.5; xdotool keydown Left; sleep 0.7; xdotool keyup Left
xdotool keydown Right; sleep 0.7; xdotool keyup Right; sleep 0.5; xdotool keyup Up
shot playing level_start
key Escape
shot playing_menu playing
key Down Down Down
shot quit_selected playing_menu
key Return
shot closing quit_selected
[ -f misc/highScore.dat ] || { echo "misc/highScore.dat was not saved"; failed=1; }
key space
expect_clean_exit "after a key on the closing picture"
[ "$failed" -eq 0 ] || exit 1
echo "played through to the closing picture, exit code 0, best times saved"
