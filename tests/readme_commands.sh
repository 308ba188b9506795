#!/usr/bin/env bash
# Runs the command lines of the README's code blocks, in order, in a fresh
# copy of the source tree (no build folder), each from the top of the tree as
# the README writes them, and fails on the first that fails. A line with a
# trailing "# needs ..." comment (root, a display, an install, another
# build) is skipped and listed.
#   readme_commands.sh SOURCE_DIR WORK_DIR
set -u
source=$(cd "$1" && pwd)
work=$2
rm -rf "$work" && mkdir -p "$work/tree" "$work/home" || exit 1
# What git tracks or would track: never a build folder or a stray file.
if git -C "$source" rev-parse --git-dir >/dev/null 2>&1; then
  (cd "$source" && git ls-files -z --cached --others --exclude-standard |
     tar --null -T - --ignore-failed-read -cf - 2>/dev/null) | tar -xf - -C "$work/tree"
else
  tar -C "$source" --anchored --exclude=./build --exclude='./build-*' -cf - . | tar -xf - -C "$work/tree"
fi
[ -f "$work/tree/README.md" ] || { echo "no README.md copied from $source"; exit 1; }

# Indented blocks after a blank line, and fenced sh/bash/console blocks.
awk '
/^```/ { if (fence) fence = 0; else fence = ($0 ~ /^```(sh|bash|console)?[[:space:]]*$/) ? 1 : -1; prev = ""; next }
fence == 1 { print; next }
fence == -1 { next }
/^    [^ -]/ && (prev ~ /^[[:space:]]*$/ || code) { code = 1; sub(/^    /, ""); print; prev = $0; next }
{ code = 0; prev = $0 }
' "$work/tree/README.md" >"$work/commands"

ran=0 skipped=0
while IFS= read -r line; do
  [ -n "${line// /}" ] || continue
  if [[ $line =~ [[:space:]]#\ needs\  ]]; then
    echo "skipped: $line"; skipped=$((skipped + 1)); continue
  fi
  echo "\$ $line"
  (cd "$work/tree" && env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work/home" XDG_DATA_HOME="$work/home/xdg" \
     CMAKE_BUILD_PARALLEL_LEVEL=2 JOBS=2 bash -c "set -o pipefail; $line" </dev/null >"$work/out" 2>&1)
  status=$?
  if [ $status -ne 0 ]; then
    tail -n 40 "$work/out"
    echo "the README's command failed (exit $status): $line"
    exit 1
  fi
  ran=$((ran + 1))
done <"$work/commands"
[ $ran -gt 0 ] || { echo "no command found in the README"; exit 1; }
echo "$ran README commands ran in a fresh tree, $skipped skipped"
rm -rf "$work"
