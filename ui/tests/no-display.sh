#!/usr/bin/env bash
# The program without a display: with DISPLAY naming a display no server
# answers on, and with DISPLAY unset, it says so in one line on standard
# error and ends at once with a non-zero status (the deadline only catches
# a program that runs on with no window).
# Usage: no-display.sh <path of the daublin program>
set -u

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

[ $# -eq 1 ] || fail "usage: no-display.sh <path of the daublin program>"
program=$(readlink -f "$1")
[ -x "$program" ] || fail "no program at $1"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
# X11's own libraries keep memory to the end.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
unset SDL_VIDEODRIVER WAYLAND_DISPLAY

# A display number with no server: neither its socket nor its lock file.
number=99
while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
  number=$((number + 1))
done

# Runs the program with the environment given; checks the status and the
# one line, which must hold $1.
expect_one_line() {
  local says=$1 status lines
  shift
  env "$@" timeout 20 "$program" >"$work/stdout" 2>"$work/stderr"
  status=$?
  [ "$status" -ne 124 ] || fail "with $* the program was still running after 20 s"
  [ "$status" -ne 0 ] || fail "with $* the program ended with status 0"
  lines=$(wc -l <"$work/stderr")
  [ "$lines" -eq 1 ] || fail "with $* it wrote $lines lines on standard error: $(cat "$work/stderr")"
  grep -qF -- "$says" "$work/stderr" || fail "with $* the line does not say $says: $(cat "$work/stderr")"
  [ ! -s "$work/stdout" ] || fail "with $* it wrote on standard output: $(cat "$work/stdout")"
}

expect_one_line "cannot open the display \":$number\"" DISPLAY=":$number"
expect_one_line "DISPLAY is not set" -u DISPLAY
echo "no-display: passed"
