#!/usr/bin/env bash
# Renders one MIDI piece to Ogg with the desktop's synthesizer and the game's
# own soundfont (beside the piece), for the browser, which has no synthesizer:
# the reverb's fade is kept as the desktop plays it, only the silence after it
# is cut.
set -euo pipefail
in=${1:?usage: render_music.sh IN.mid OUT.ogg}
out=${2:?}
font=$(dirname "$in")/orbivale.sf2
wav=$(mktemp --suffix=.wav)
trap 'rm -f "$wav"' EXIT
fluidsynth -ni -q -F "$wav" -r 44100 -T wav "$font" "$in" >/dev/null
sox "$wav" -C 3 "$out" reverse silence 1 0.01 -70d reverse
