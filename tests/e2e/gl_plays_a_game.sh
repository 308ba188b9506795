#!/usr/bin/env bash
# Plays orbivale-gl under its own Xvfb with real key presses: title, menu,
# a few seconds of a level, Quit. Expects exit code 0, "highScore.dat"
# written by Quit, a picture on every screen and the level differing from
# the title. Then watches the recorded run: Space holds the picture, Escape
# ends the program.
# Usage: gl_plays_a_game.sh PROGRAM DATA_DIR [SCREENSHOT_DIR]
set -u
program=$1
data=$2
shots=${3:-}
work=$(mktemp -d)
source "$(dirname "$0")/session.sh"

start_xvfb 800x600x24

use_data_copy "$data"
rm -f highScore.dat
start_game "$program"

focus_game_window

failed=0

shot title
key Escape
shot menu title
key Return
shot level_start menu
if cmp -s "$work/title.png" "$work/level_start.png"; then echo "the level looks like the title"; failed=1; fi
xdotool keydown Up; sleep 1.5; xdotool keydown Left; sleep 0.7; xdotool keyup Left
xdotool keydown Right; sleep 0.7; xdotool keyup Right; sleep 0.5; xdotool keyup Up
shot playing level_start
key Escape
shot playing_menu playing
key Down Down Down
shot quit_selected playing_menu
[ -f highScore.dat ] && { echo "best times written before Quit"; failed=1; }
key Return
expect_clean_exit "after Quit"
[ -f highScore.dat ] || { echo "highScore.dat was not saved"; failed=1; }

run=replays/maps_level1.map-last.orbreplay
[ -f "$run" ] || { echo "the run was not recorded"; exit 1; }
start_game "$program" --replay "$run"
focus_game_window
shot replay
key space
still_shot replay_paused
sleep 1 # how long the paused picture must hold
shot replay_still_paused
cmp -s "$work/replay_paused.png" "$work/replay_still_paused.png" || { echo "the paused replay moved on"; failed=1; }
key Escape
expect_clean_exit "after Escape in the replay"
[ "$failed" -eq 0 ] || exit 1
echo "played a level and quit, exit code 0, best times saved, the run watched again"
