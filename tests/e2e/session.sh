# Shared by the end-to-end scripts: a private Xvfb, the game started in it,
# its window found, and its end awaited. Callers set $work and source this.

xvfb_pid=""
game_pid=""
boxes_pid=""
trap 'kill -9 $boxes_pid $xvfb_pid $game_pid 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

# Starts Xvfb on a display the server picks itself, so parallel runs never meet.
# -noreset: a server that resets when its last client (the readiness probe)
# leaves refuses the game's connection for a moment, and SDL would find no display.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
  export DISPLAY=:$(head -n 1 "$work/display" 2>/dev/null)
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
}

# Starts the program (with any arguments) in the current folder, without sound. Mesa's driver
# leaves a few blocks behind when SDL unloads it at exit, with no module name
# left to attribute them to; our own code's leaks are checked by every other
# test of the sanitized build.
start_game() {
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" SDL_AUDIODRIVER=dummy "$@" >"$work/out.log" 2>&1 &
  game_pid=$!
  : >"$work/boxes.log"
  answer_boxes &
  boxes_pid=$!
}

# Answers every message box of the game while it runs. Where the X server
# can draw SDL's box, it is a top-level window named by its caption that
# blocks the game until OK is pressed; elsewhere it fails and the game goes
# on. Either way the game writes "Caption: text" to stderr: a box without
# that line is a fault. Each caption answered goes to $work/boxes.log.
answer_boxes() {
  while kill -0 "$game_pid" 2>/dev/null; do
    xwininfo -root -children 2>/dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) "\([^"]*\)".*/\1 \2/p' |
      while read -r id name; do
        [ "$name" = Orbivale ] && continue
        grep -qF "$name: " "$work/out.log" || echo "a box \"$name\" without its line on stderr" >>"$work/boxes.log"
        echo "$name" >>"$work/boxes.log"
        xdotool windowfocus "$id" 2>/dev/null
        xdotool key --window "$id" Return 2>/dev/null
      done
    sleep 0.3
  done
}

# Sets $window to the game's window; a loaded machine can take a while.
find_window() {
  window=""
  for _ in $(seq 300); do
    window=$(xdotool search --name '^Orbivale$' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "no window named Orbivale"; cat "$work/out.log"; exit 1; }
}

# Works in a fresh copy of a data folder, so the game's files start clean.
use_data_copy() { cp -r "$1" "$work/game" && cd "$work/game"; }

# Finds the game's window (see find_window) and gives it the keyboard.
focus_game_window() {
  find_window
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || xdotool windowfocus "$window"
}

# Waits for the game to end by itself and checks its exit code (0 unless
# given), and that every box it showed had its line on stderr.
expect_exit() {
  local expected=$1 what=$2
  for _ in $(seq 300); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$game_pid" 2>/dev/null; then
    echo "program did not end: $what"; cat "$work/out.log"; exit 1
  fi
  wait "$game_pid"
  local status=$?
  cat "$work/out.log"
  [ "$status" -eq "$expected" ] || { echo "exit code $status, not $expected: $what"; exit 1; }
  if grep -q 'without its line on stderr' "$work/boxes.log"; then cat "$work/boxes.log"; exit 1; fi
}
expect_clean_exit() { expect_exit 0 "$1"; }

# Whether this X server can draw SDL's message boxes: they need a font of
# this pattern (the misc fonts of xfonts-base, with xfonts-encodings, which
# every desktop has).
boxes_can_show() { [ -n "$(xlsfonts -fn '-*-*-medium-r-normal--*-120-*-*-*-*-*-*' 2>/dev/null)" ]; }

# Whether a message box of the game is up: any named top-level window but the game's.
box_showing() {
  xwininfo -root -children 2>/dev/null | sed -n 's/^ *0x[0-9a-f]* "\([^"]*\)".*/\1/p' | grep -qvx Orbivale
}

# Takes a screenshot of $window into $work (and $shots when set) once the game
# shows a picture: no box in front of it, at least 16 colours and, when a
# second name is given, different from that earlier shot. A loaded machine
# may take its time; after 30 s the shot is taken as it is and a flat or
# unchanged one sets $failed.
shot() {
  local name=$1 unlike=${2:-} colours=0 changed=1
  for _ in $(seq 150); do
    if ! box_showing && import -window "$window" "$work/$name.png" 2>/dev/null; then
      colours=$(identify -format '%k' "$work/$name.png" 2>/dev/null)
      changed=1
      [ -n "$unlike" ] && cmp -s "$work/$name.png" "$work/$unlike.png" && changed=0
      [ "${colours:-0}" -ge 16 ] && [ $changed = 1 ] && break
    fi
    sleep 0.2
  done
  [ -f "$work/$name.png" ] || { echo "no screenshot $name"; failed=1; return; }
  [ -n "${shots:-}" ] && cp "$work/$name.png" "$shots/$name.png"
  if [ "${colours:-0}" -lt 16 ]; then echo "screen $name shows only $colours colours"; failed=1; fi
  if [ $changed = 0 ]; then echo "screen $name still looks like $unlike"; failed=1; fi
}

# A screenshot taken once the picture has stopped changing: two shots in a
# row the same (a paused game, a still screen), within 30 s.
still_shot() {
  local name=$1
  shot "$name"
  for _ in $(seq 60); do
    sleep 0.25
    import -window "$window" "$work/$name.next.png" 2>/dev/null || continue
    cmp -s "$work/$name.png" "$work/$name.next.png" && return
    mv "$work/$name.next.png" "$work/$name.png"
  done
  echo "screen $name never held still"; failed=1
}
# From the title: the menu, then NeW Game.
start_a_game() {
  shot title
  key Escape
  shot menu title
  key Return
}

# From a level just started: the menu, Quit, and orbivale-glide's closing
# picture answered with a key.
quit_from_play() {
  shot level menu
  key Escape
  key Down Down Down
  shot quit_selected level
  key Return
  [ "$1" = glide ] && { shot closing quit_selected; key space; }
}

key() { xdotool key --window "$window" --delay 120 "$@"; sleep 0.2; }
