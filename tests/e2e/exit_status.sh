#!/usr/bin/env bash
# What each program's exit status says, under its own Xvfb:
#   exit_status.sh GL_PROGRAM GL_DATA GLIDE_PROGRAM GLIDE_DATA
#   no level list                   -> 1, after "could not initialize map data"
#   a level map that cannot be read -> 1, after "Unable to initialize map"
#   a damaged level texture (glide) -> 1, its file and why named on stderr first
#   Quit, SIGTERM (saving what changed), a closed window (in
#   window_opens_and_closes.sh) -> 0
set -u
work=$(mktemp -d)
source "$(dirname "$0")/session.sh"
start_xvfb 1024x768x24
export HOME=$work/home XDG_DATA_HOME=$work/xdg
failed=0

# Runs PROGRAM in a copy of DATA (the folder of the game's own files), then
# presses Escape and Return (NeW Game) where a window comes up.
run_case() {
  local program=$1 data=$2
  rm -rf "$work/game"
  cp -r "$data" "$work/game" && cd "$work/game"
  rm -f highScore.dat misc/highScore.dat
  "${3:-true}"
  start_game "$program"
}
said() { grep -qF "$1" "$work/out.log" || { echo "$2: no \"$1\" on stderr"; cat "$work/out.log"; failed=1; }; }
no_level_list() { rm -f maps/maplist.dat; }
broken_map() { printf 'holecount= 1 .data 0 0 60 .end' >maps/level1.map; }
broken_texture() { printf '3df v1.1\nrgb565\nlod range: 1 256\naspect ratio: 1 1\nxx' >maps/sand.3df; }

for edition in gl glide; do
  if [ $edition = gl ]; then program=$1 data=$2; else program=$3 data=$4; fi
  name=orbivale-$edition

  run_case "$program" "$data" no_level_list
  expect_exit 1 "$name without a level list"
  said "could not initialize map data" "$name without a level list"

  run_case "$program" "$data" broken_map
  focus_game_window
  start_a_game
  expect_exit 1 "$name with a broken map"
  said "Unable to initialize map" "$name with a broken map"

  run_case "$program" "$data"
  focus_game_window
  start_a_game
  quit_from_play $edition
  expect_exit 0 "$name after Quit"
done

# SIGTERM (a logout) ends the program as its close button does: status 0,
# and what changed is saved (here orbivale-glide's statistics option, which
# its best-times file keeps).
run_case "$3" "$4"
focus_game_window
shot title
key F2
kill -TERM "$game_pid"
expect_exit 0 "orbivale-glide after SIGTERM"
options=$(awk '{ print $21 }' misc/highScore.dat 2>/dev/null)
[ "$options" = 1 ] || { echo "SIGTERM did not save the changed option: $(cat misc/highScore.dat 2>&1)"; failed=1; }

run_case "$3" "$4" broken_texture
focus_game_window
start_a_game
expect_exit 1 "orbivale-glide with a damaged texture"
said "maps/sand.3df: its texels are cut short" "orbivale-glide with a damaged texture"
line=$(grep -n 'sand.3df' "$work/out.log" | head -n 1 | cut -d: -f1)
map_line=$(grep -n 'Unable to initialize map' "$work/out.log" | head -n 1 | cut -d: -f1)
[ -n "$line" ] && [ -n "$map_line" ] && [ "$line" -lt "$map_line" ] ||
  { echo "the texture's line does not come before \"Unable to initialize map\""; failed=1; }

[ $failed = 0 ] || exit 1
echo "exit status 1 after each failure, 0 after Quit"
