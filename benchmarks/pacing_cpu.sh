#!/usr/bin/env bash
# CPU use and frame pacing of both programs under Xvfb, run by hand:
#   benchmarks/pacing_cpu.sh [BUILD_DIR] [SECONDS]
# Each program runs in a copy of its data folder, paced (the default) and with
# ORBIVALE_NO_VSYNC=1, through three phases: the still title, the menu open
# over it, and level 1 while Up is held. For each phase it prints the share of
# one core used (all threads, from /proc/PID/stat), the presents per second,
# the share of frame intervals within 16.7 +- 2 ms (from ORBIVALE_FRAME_LOG)
# and the resident memory at its end (VmRSS). PACING_MODES and PACING_PROGRAMS
# narrow the runs (default "paced unpaced" and "glide gl").
set -u
build=$(cd "${1:-build}" && pwd)
seconds=${2:-10}
hz=$(getconf CLK_TCK)
work=$(mktemp -d)
xvfb_pid=""
game_pid=""
trap 'kill -9 $game_pid $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(head -n 1 "$work/display")
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
export SDL_AUDIODRIVER=dummy

ticks() { awk '{print $14 + $15}' "/proc/$game_pid/stat"; }
# SDL's message boxes are top-level windows named by their caption.
answer_boxes() {
  xwininfo -root -children 2>/dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) "\(Notice\|Error\|error\)".*/\1/p' |
    while read -r box; do
      xdotool windowfocus "$box" 2>/dev/null
      xdotool key --window "$box" Return 2>/dev/null
    done
}

# phase NAME: measures $seconds of the running game.
phase() {
  local name=$1 before after lines_before lines_after
  lines_before=$(wc -l <"$work/frames.log")
  before=$(ticks)
  sleep "$seconds"
  after=$(ticks)
  lines_after=$(wc -l <"$work/frames.log")
  local cpu=$(( (after - before) * 100 / (hz * seconds) ))
  local stats
  stats=$(sed -n "$((lines_before + 1)),${lines_after}p" "$work/frames.log" |
    awk -v s="$seconds" '{ n++; if ($1 >= 14.7 && $1 <= 18.7) ok++ }
      END { if (n) printf "%6.1f presents/s  %5.1f %% of intervals in 16.7+-2 ms", n / s, 100 * ok / n;
            else printf "%6.1f presents/s", 0 }')
  local rss
  rss=$(awk '/^VmRSS/ {printf "%.1f MB", $2 / 1024}' "/proc/$game_pid/status")
  printf '  %-8s %-10s %4d %% of a core  %s  %s\n' "$program" "$name" "$cpu" "$stats" "$rss"
}

for mode in ${PACING_MODES:-paced unpaced}; do
  echo "== $mode"
  for program in ${PACING_PROGRAMS:-glide gl}; do
    rm -rf "$work/game" && cp -r "$build/data/$program" "$work/game"
    : >"$work/frames.log"
    (cd "$work/game" && if [ $mode = unpaced ]; then export ORBIVALE_NO_VSYNC=1; fi
     ORBIVALE_FRAME_LOG="$work/frames.log" exec "$build/orbivale-$program") >/dev/null 2>&1 &
    game_pid=$!
    window=""
    for _ in $(seq 100); do
      answer_boxes
      window=$(xdotool search --name '^Orbivale$' 2>/dev/null | head -n 1)
      [ -n "$window" ] && break
      sleep 0.1
    done
    for _ in 1 2 3 4 5 6; do sleep 0.5; answer_boxes; done
    xdotool windowfocus "$window" 2>/dev/null
    phase title
    xdotool key --window "$window" Escape; sleep 1
    phase menu
    xdotool key --window "$window" Return; sleep 0.5
    xdotool keydown --window "$window" Up; sleep 2
    phase playing
    xdotool keyup --window "$window" Up
    kill -9 "$game_pid" 2>/dev/null; wait "$game_pid" 2>/dev/null
  done
done
