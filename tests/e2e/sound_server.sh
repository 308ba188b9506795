#!/usr/bin/env bash
# The sound server restarts during a level: orbivale-gl plays into a private
# PulseAudio's null sink, recorded from its monitor; the server is killed and
# started again, and the music must be heard again.
set -u
work=$(mktemp -d)
source "$(dirname "$0")/session.sh"
pulse_pid=""
trap 'kill -9 $boxes_pid $game_pid $pulse_pid $xvfb_pid 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
if ! command -v pulseaudio >/dev/null || ! command -v parec >/dev/null; then
  echo "SKIP: pulseaudio and pulseaudio-utils are not installed"; exit 77
fi
export PULSE_SERVER=unix:$work/pulse.sock
mkdir -m 700 "$work/pulse"
start_pulse() {
  HOME=$work/pulse PULSE_RUNTIME_PATH=$work/pulse pulseaudio --daemonize=no --exit-idle-time=-1 -n \
    --use-pid-file=no --load="module-null-sink sink_name=orbivale rate=44100" \
    --load="module-native-protocol-unix socket=$work/pulse.sock auth-anonymous=1" >>"$work/pulse.log" 2>&1 &
  pulse_pid=$!
  for _ in $(seq 100); do pactl info >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}
start_pulse || { echo "SKIP: pulseaudio cannot run on this machine"; cat "$work/pulse.log"; exit 77; }
# Records a second at a time, up to $1 seconds, until peak and rms are loud.
heard() {
  for _ in $(seq "$1"); do
    timeout 1 parec -d orbivale.monitor --raw --format=s16le --rate=44100 --channels=2 >"$work/rec.raw" 2>/dev/null
    od -An -td2 -v -w2 "$work/rec.raw" |
      awk '{ v = $1 < 0 ? -$1 : $1; if (v > m) m = v; s += $1 * $1; n++ } END { exit !(n && m > 2000 && sqrt(s / n) > 200) }' &&
      return 0
  done
  return 1
}
start_xvfb 1024x768x24
use_data_copy "$2"
start_game env SDL_AUDIODRIVER=pulseaudio "$1"
focus_game_window
for _ in $(seq 150); do
  import -window "$window" "$work/title.png" 2>/dev/null && [ "$(identify -format %k "$work/title.png")" -ge 16 ] && break
  sleep 0.2
done
key Escape
key Return # NeW Game: the first piece starts with the level
heard 15 || { echo "no music before the restart"; cat "$work/out.log"; exit 1; }
kill -9 "$pulse_pid"; wait "$pulse_pid" 2>/dev/null
start_pulse || { echo "pulseaudio did not start again"; cat "$work/pulse.log"; exit 1; }
heard 20 || { echo "no sound after the sound server came back"; cat "$work/out.log"; exit 1; }
echo "music heard before and after the sound server restarted"
