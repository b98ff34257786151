#!/usr/bin/env bash
# The program without a display: with DISPLAY naming a display no server
# answers on, and with DISPLAY unset, it says so in one line on standard
# error and ends at once with a non-zero status (the deadline only catches
# a program that runs on with no window). A display that goes away while the
# program runs ends it the same way.
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
server=
pid=
cleanup() {
  for p in $pid $server; do
    { kill -9 "$p" && wait "$p"; } 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT
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
# A server of its own (it takes the first free display number and writes it
# to the pipe once clients may connect), gone while the program runs.
mkfifo "$work/display" || fail "cannot make a pipe"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
  3>"$work/display" 2>"$work/server.log" </dev/null &
server=$!
number=
read -r -t 10 number <"$work/display"
[[ "$number" =~ ^[0-9]+$ ]] || fail "Xvfb did not report a display within 10 s: $(cat "$work/server.log")"
DISPLAY=":$number" "$program" >"$work/stdout" 2>"$work/stderr" &
pid=$!
for ((i = 0; i < 100; i++)); do
  DISPLAY=":$number" xdotool search --onlyvisible --name '^Daublin$' >/dev/null 2>&1 && break
  sleep 0.1
done
[ "$i" -lt 100 ] || fail "waited 10 s for the window on :$number"
kill "$server" && wait "$server" 2>/dev/null
server=
for ((i = 0; i < 100; i++)); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program still runs 10 s after its display went away"
wait "$pid"
status=$?
pid=
[ "$status" -ne 0 ] || fail "the program ended with status 0 when its display went away"
grep -qF "the display \":$number\" was lost" "$work/stderr" ||
  fail "the program did not say its display was lost: $(cat "$work/stderr")"
echo "no-display: passed"
