#!/usr/bin/env bash
# Both programs on a native Wayland compositor: weston on its X11 back end in
# a private Xvfb, scaled to 200 % as a HiDPI desktop, the game with SDL's
# Wayland driver and no DISPLAY. Each must draw its title with sharp edges
# (drawn at the screen's pixels, not blown up from 640 x 480), open the menu
# on Escape, fill the compositor's screen on F11 and give it back on F11.
# Screenshots are of weston's output (1600 x 1200 pixels) as Xvfb shows it.
set -u
gl=$1
glide=$2
data=$3
shots=${4:-}
work=$(mktemp -d)
source "$(dirname "$0")/session.sh"
weston_pid=""
trap 'kill -9 $boxes_pid $game_pid $weston_pid $xvfb_pid 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

if ! command -v weston >/dev/null || ! ls /usr/lib/*/libweston-*/x11-backend.so >/dev/null 2>&1; then
  echo "SKIP: weston with its x11 back end is not installed (Debian package weston)"
  exit 77
fi

start_xvfb 1600x1200x24
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
# A fresh weston for each program: its first window has the keyboard.
start_weston() {
  [ -n "$weston_pid" ] && { kill "$weston_pid"; wait "$weston_pid" 2>/dev/null; }
  rm -f "$XDG_RUNTIME_DIR"/orbivale-test*
  weston --backend=x11-backend.so --socket=orbivale-test --width=800 --height=600 --scale=2 --idle-time=0 --no-config \
    >"$work/weston.log" 2>&1 &
  weston_pid=$!
  for _ in $(seq 200); do [ -S "$XDG_RUNTIME_DIR/orbivale-test" ] && break; sleep 0.1; done
  [ -S "$XDG_RUNTIME_DIR/orbivale-test" ] || { echo "weston did not start"; cat "$work/weston.log"; exit 1; }
}

# Pixels of weston's output (sampled at half size, in part $2) whose 0-255
# r, g, b pass the awk test $1.
count() {
  import -window root "$work/full.png" 2>/dev/null || return
  convert "$work/full.png" -sample 50% ${2:+-crop $2 +repage} +write "$work/shot.png" -depth 8 -format %c histogram:info:- |
    awk -F'[(),]' "{ n = \$1 + 0; r = \$2 + 0; g = \$3 + 0; b = \$4 + 0; if ($1) c += n } END { print c + 0 }"
}
# Neighbouring pixels (across) of the full-size shot that differ by almost
# half the range: blowing a picture up two times halves every such step.
sharp_steps() {
  convert "$work/full.png" -crop 960x784+320+240 +repage \( +clone -roll +1+0 \) -compose difference -composite \
    -crop 958x784+1+0 +repage -colorspace gray -threshold 45% -format '%[fx:int(mean*w*h)]' info:
}
green='g > r + 40 && g > b + 40'     # the terrain
menu_blue='b > 178 && r < 64 && g < 64' # the menu's lines
# Waits up to 30 s for at least $2 pixels passing test $1 (in part $4); the
# screenshot is kept in $shots when that is set.
wait_for() {
  local n=0 end=$((SECONDS + 30))
  while [ $SECONDS -lt $end ]; do
    n=$(count "$1" "${4:-}")
    if [ "${n:-0}" -ge "$2" ]; then
      [ -n "${shots:-}" ] && cp "$work/shot.png" "$shots/$3.png"
      return 0
    fi
    sleep 0.2
  done
  [ -n "${shots:-}" ] && cp "$work/shot.png" "$shots/$3-failed.png"
  echo "$program: $3 not seen ($n pixels of $1 ${4:+in $4}, need $2)"; cat "$work/out.log"; exit 1
}

for program in "$gl" "$glide"; do
  name=$(basename "$program")
  rm -rf "$work/game"
  start_weston
  use_data_copy "$data/${name#orbivale-}"
  # Not start_game: its box answerer would take weston's window for a box.
  env -u DISPLAY SDL_VIDEODRIVER=wayland WAYLAND_DISPLAY=orbivale-test SDL_AUDIODRIVER=dummy "$program" \
    >"$work/out.log" 2>&1 &
  game_pid=$!
  # The title: terrain on a quarter of the window at least.
  wait_for "$green" 30000 "$name-title"
  # A 1280 x 960 window anywhere on the screen covers the middle part.
  steps=$(sharp_steps)
  [ "${steps:-0}" -gt 40 ] || { echo "$name: the title is blurred ($steps sharp steps)"; exit 1; }
  xdotool key Escape
  wait_for "$menu_blue" 200 "$name-menu"
  xdotool key Escape
  wait_for "!($menu_blue)" 130000 "$name-menu-closed"
  # Full screen: the terrain reaches both bottom corners of weston's screen.
  xdotool key F11
  wait_for "$green" 600 "$name-full-left" 64x48+0+552
  wait_for "$green" 600 "$name-full-right" 64x48+736+552
  # And back: weston's dark panel along the top again.
  xdotool key F11
  wait_for "b < 100" 4000 "$name-back" 800x6+0+0
  kill -9 "$game_pid" 2>/dev/null
  wait "$game_pid" 2>/dev/null
  grep -q 'not found' "$work/out.log" && { cat "$work/out.log"; exit 1; }
  echo "$name: title ($steps sharp steps), menu, full screen and back under Wayland at 200 %"
done
