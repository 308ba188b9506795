#!/usr/bin/env bash
# Installs a build under a temporary root (DESTDIR), starts each installed
# program from an unrelated folder with a fresh home, plays a little (menu,
# NeW Game, a few seconds, menu, Quit) and checks that the best times went to
# the player's own folder and that nothing was written anywhere else.
#   installed_game.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
work=$(mktemp -d)
source "$(dirname "$0")/session.sh"

root=$work/root
DESTDIR=$root cmake --install "$build" >"$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
bindir=$(sed -n 's/^CMAKE_INSTALL_BINDIR:PATH=//p' "$build/CMakeCache.txt")
bin=$root$prefix/${bindir:-bin}
installed() { (cd "$root" && find . -printf '%p %s %T@\n' | sort); }
before=$(installed)

export HOME=$work/home XDG_DATA_HOME=$work/xdg
mkdir -p "$HOME" "$work/elsewhere"
cd "$work/elsewhere"
start_xvfb 1024x768x24
failed=0

for edition in gl glide; do
  start_game "$bin/orbivale-$edition"
  focus_game_window
  start_a_game
  quit_from_play $edition
  expect_clean_exit "$edition after Quit"
  table=$XDG_DATA_HOME/orbivale/$edition/highScore.dat
  [ $edition = glide ] && table=$XDG_DATA_HOME/orbivale/glide/misc/highScore.dat
  [ -s "$table" ] || { echo "orbivale-$edition saved no best times in $table"; failed=1; }
  grep -q "no game data" "$work/out.log" && { echo "orbivale-$edition did not find its installed data"; failed=1; }
done

[ -z "$(ls -A "$work/elsewhere")" ] || { echo "files written where the programs were started:"; ls -A "$work/elsewhere"; failed=1; }
[ "$before" = "$(installed)" ] || { echo "the installed copy changed:"; diff <(echo "$before") <(installed) | head; failed=1; }
[ $failed -eq 0 ] || exit 1
echo "both installed programs played from $work/elsewhere and kept their best times in $XDG_DATA_HOME/orbivale"
