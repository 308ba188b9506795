#!/usr/bin/env bash
# Both programs under weston (its X11 back end in a private Xvfb) scaled to
# 200 % like a HiDPI desktop, with SDL's Wayland driver and no DISPLAY: each
# draws its title with sharp edges, opens and closes the menu, fills the
# screen on F11 and gives it back. Shots are of weston's 1600 x 1200 output.
set -u
gl=$1 glide=$2 data=$3 shots=${4:-}
work=$(mktemp -d)
source "$(dirname "$0")/session.sh"
weston_pid=""
trap 'kill -9 $game_pid $weston_pid $xvfb_pid 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
if ! command -v weston >/dev/null || ! ls /usr/lib/*/libweston-*/x11-backend.so >/dev/null 2>&1; then
  echo "SKIP: weston with its x11 back end is not installed (Debian package weston)"; exit 77
fi
start_xvfb 1600x1200x24
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Pixels of the half-size shot (in part $2) whose 0-255 r, g, b pass awk test $1.
count() {
  import -window root "$work/full.png" 2>/dev/null || return
  convert "$work/full.png" -sample 50% ${2:+-crop $2 +repage} +write "$work/shot.png" -depth 8 -format %c histogram:info:- |
    awk -F'[(),]' "{ n = \$1 + 0; r = \$2 + 0; g = \$3 + 0; b = \$4 + 0; if ($1) c += n } END { print c + 0 }"
}
# Waits up to 30 s for at least $2 pixels passing $1 (in part $4).
wait_for() {
  local n=0 end=$((SECONDS + 30))
  while [ $SECONDS -lt $end ]; do
    n=$(count "$1" "${4:-}")
    [ "${n:-0}" -ge "$2" ] && { [ -n "$shots" ] && cp "$work/shot.png" "$shots/$3.png"; return 0; }
    sleep 0.2
  done
  echo "$name: $3 not seen ($n pixels of $1, need $2)"; cat "$work/out.log"; exit 1
}
# Neighbouring pixels across that differ by nearly half the range, inside
# the part a 1280 x 960 window always covers: a picture blown up 2x has none.
sharp_steps() {
  convert "$work/full.png" -crop 960x784+320+240 +repage \( +clone -roll +1+0 \) -compose difference -composite \
    -crop 958x784+1+0 +repage -colorspace gray -threshold 45% -format '%[fx:int(mean*w*h)]' info:
}
green='g > r + 40 && g > b + 40'
blue='b > 178 && r < 64 && g < 64'

for program in "$gl" "$glide"; do
  name=$(basename "$program")
  # A fresh weston each time: its first window has the keyboard.
  kill "$weston_pid" 2>/dev/null; wait "$weston_pid" 2>/dev/null
  weston --backend=x11-backend.so --socket=orbivale-test --width=800 --height=600 --scale=2 --idle-time=0 \
    --no-config >"$work/weston.log" 2>&1 &
  weston_pid=$!
  for _ in $(seq 200); do [ -S "$XDG_RUNTIME_DIR/orbivale-test" ] && break; sleep 0.1; done
  rm -rf "$work/game"
  use_data_copy "$data/${name#orbivale-}"
  # Not start_game: its box answerer would take weston's window for a box.
  env -u DISPLAY SDL_VIDEODRIVER=wayland WAYLAND_DISPLAY=orbivale-test SDL_AUDIODRIVER=dummy "$program" \
    >"$work/out.log" 2>&1 &
  game_pid=$!
  wait_for "$green" 30000 title
  steps=$(sharp_steps)
  [ "${steps:-0}" -gt 40 ] || { echo "$name: the title is blurred ($steps sharp steps)"; exit 1; }
  xdotool key Escape
  wait_for "$blue" 200 menu
  xdotool key Escape
  wait_for "!($blue)" 130000 "menu closed"
  xdotool key F11 # the terrain reaches both bottom corners
  wait_for "$green" 600 "full screen left" 64x48+0+552
  wait_for "$green" 600 "full screen right" 64x48+736+552
  xdotool key F11 # weston's dark panel shows again
  wait_for "b < 100" 4000 "window again" 800x6+0+0
  kill -9 "$game_pid"; wait "$game_pid" 2>/dev/null
  echo "$name: title ($steps sharp steps), menu, full screen and back under Wayland at 200 %"
done
