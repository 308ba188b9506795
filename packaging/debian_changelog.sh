#!/bin/sh
# CHANGELOG.md as the Debian changelog a native package carries in
# changelog.gz (dpkg and lintian parse that file, so it has to be in their
# format, not Markdown):
#   debian_changelog.sh CHANGELOG.md PACKAGE VERSION MAINTAINER > changelog
# Each "## X.Y.Z — YYYY-MM-DD" section becomes one entry, newest first; its
# "- " items become "  * " items, other lines keep their words. An
# "Unreleased" section is left out, and the newest release must be VERSION.
set -eu
[ $# -eq 4 ] || { echo "usage: $0 CHANGELOG.md PACKAGE VERSION MAINTAINER" >&2; exit 2; }
LC_ALL=C.UTF-8 awk -v package="$2" -v version="$3" -v maintainer="$4" '
function close_entry() {
    if (current != "") printf "\n -- %s  %s\n", maintainer, stamp
    current = ""
}
/^## / {
    close_entry()
    if ($2 == "Unreleased") next
    if ($2 !~ /^[0-9]+\.[0-9]+\.[0-9]+$/ || $NF !~ /^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$/) {
        print FILENAME ": " FNR ": not a \"## X.Y.Z — YYYY-MM-DD\" heading" > "/dev/stderr"; failed = 1; exit
    }
    if (entries == 0 && $2 != version) {
        print FILENAME ": the newest release is " $2 ", the build is " version > "/dev/stderr"; failed = 1; exit
    }
    command = "date -u -R -d " $NF
    command | getline stamp
    close(command)
    if (entries > 0) print ""
    printf "%s (%s) unstable; urgency=medium\n\n", package, $2
    current = $2; entries++; blank = 0; started = 0; prev_item = 0
    next
}
current == "" { next }
/^[[:space:]]*$/ { blank = 1; next }
{
    if (blank && started) print ""
    blank = 0; started = 1
    line = $0
    if (sub(/^- /, "* ", line)) print "  " line
    else { sub(/^ */, "", line); print (prev_item ? "    " : "  ") line }
    prev_item = ($0 ~ /^- / || ($0 ~ /^  / && prev_item))
}
END {
    if (failed) exit 1
    close_entry()
    if (entries == 0) { print "no release in " FILENAME > "/dev/stderr"; exit 1 }
}' "$1"
