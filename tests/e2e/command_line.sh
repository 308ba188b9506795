#!/usr/bin/env bash
# The programs' command line and their start without a display:
#   command_line.sh PROGRAM...
# --help and --version answer on stdout with exit 0; an unknown option, a
# missing value or a level --practice cannot have gets one line on stderr
# with exit 2; with no display a program ends
# within two seconds with exit 1, saying why, and leaves no file where it was
# started.
set -u
failed=0
fail() { echo "$*"; failed=1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

programs=()
for program in "$@"; do programs+=("$(readlink -f "$program")"); done

for program in "${programs[@]}"; do
  name=$(basename "$program")
  failed_before=$failed
  out=$("$program" --help 2>"$work/err"); status=$?
  [ $status -eq 0 ] || fail "$name --help: exit $status"
  [[ $out == "Usage: $name "* ]] || fail "$name --help: no usage on stdout"
  [ -s "$work/err" ] && fail "$name --help wrote to stderr"
  [[ $out == *"~/.local/share/orbivale/${name#orbivale-})"* ]] || fail "$name --help names no folder of its own"

  out=$("$program" --version 2>/dev/null); status=$?
  [ $status -eq 0 ] || fail "$name --version: exit $status"
  [[ $out =~ ^$name\ [0-9]+\.[0-9]+\.[0-9]+ ]] || fail "$name --version said '$out'"

  out=$("$program" --frobnicate 2>"$work/err"); status=$?
  [ $status -eq 2 ] || fail "$name --frobnicate: exit $status, not 2"
  [ -z "$out" ] || fail "$name --frobnicate wrote to stdout"
  [ "$(head -n 1 "$work/err")" = "$name: unknown option '--frobnicate'" ] || fail "$name --frobnicate: $(head -n 1 "$work/err")"
  grep -q "^Usage: $name" "$work/err" || fail "$name --frobnicate: no usage on stderr"
  "$program" --data >/dev/null 2>&1; [ $? -eq 2 ] || fail "$name --data without a folder is not refused"
  "$program" --replay >/dev/null 2>&1; [ $? -eq 2 ] || fail "$name --replay without a file is not refused"
  # --practice takes a level the data's list has; anything else is refused.
  data=$(dirname "$program")/data/${name#orbivale-}
  for bad in "" abc 0 -1; do
    "$program" --practice $bad >/dev/null 2>"$work/err"; status=$?
    [ $status -eq 2 ] || fail "$name --practice '$bad': exit $status, not 2"
    grep -q "^$name: --practice needs a level number" "$work/err" || fail "$name --practice '$bad': $(head -n 1 "$work/err")"
  done
  HOME="$work/home" XDG_DATA_HOME="$work/xdg" "$program" --data "$data" --practice 99 >/dev/null 2>"$work/err"
  status=$?
  [ $status -eq 2 ] || fail "$name --practice 99: exit $status, not 2"
  grep -q "^$name: --practice 99: there is no level 99; the level list has levels 1 to [0-9]" "$work/err" ||
    fail "$name --practice 99: $(cat "$work/err")"

  # No display at all: SDL would fall back to drawing nowhere.
  mkdir -p "$work/start" && cd "$work/start"
  start=$(date +%s%N)
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER HOME="$work/home" XDG_DATA_HOME="$work/xdg" \
    SDL_AUDIODRIVER=dummy timeout 10 "$program" >"$work/out" 2>&1; status=$?
  took=$(( ($(date +%s%N) - start) / 1000000 ))
  cd "$work"
  [ $status -eq 1 ] || fail "$name without a display: exit $status, not 1"
  [ $took -lt 2000 ] || fail "$name without a display took $took ms to end"
  grep -q "no display" "$work/out" || fail "$name without a display did not say so: $(cat "$work/out")"
  [ -z "$(ls -A "$work/start")" ] || fail "$name wrote into the folder it was started from"
  [ $failed -eq $failed_before ] && echo "$name: --help, --version, unknown option and no display as expected"
done
# The map checker's help is asked for too: stdout and success.
checker=$(dirname "${programs[0]}")/tools/mapcheck/orbivale-mapcheck
if [ -x "$checker" ]; then
  out=$("$checker" --help 2>/dev/null); status=$?
  [ $status -eq 0 ] && [[ $out == "usage: orbivale-mapcheck "* ]] || fail "orbivale-mapcheck --help: exit $status"
  "$checker" --frobnicate >/dev/null 2>&1; [ $? -eq 2 ] || fail "orbivale-mapcheck takes an unknown option"
fi
exit $failed
