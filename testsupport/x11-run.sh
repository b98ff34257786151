#!/usr/bin/env bash
# x11-run.sh <width>x<height>x<depth> <command> [<argument>...]
# Runs the command on a new Xvfb server of its own and returns its status.
# The server takes the first free display number and writes it to the pipe
# once clients may connect (-displayfd): no guessed number, no race with a
# server starting at the same time. DAUBLIN_X11_DISPLAY names the display
# too, so a test can check that it is not driving someone's desktop.
set -u
if [ $# -lt 2 ]; then
  echo "usage: x11-run.sh <width>x<height>x<depth> <command> [<argument>...]" >&2
  exit 2
fi
screen=$1
shift

dir=$(mktemp -d "${TMPDIR:-/tmp}/daublin-x11.XXXXXX") || exit 1
server=
child=
finish() {
  [ -n "$child" ] && kill "$child" 2>/dev/null
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
  fi
  rm -rf "$dir"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

mkfifo "$dir/display" || exit 1
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset \
  3>"$dir/display" 2>"$dir/server.log" </dev/null &
server=$!
# A server that fails ends its end of the pipe: the read returns at once.
number=
read -r -t 10 number <"$dir/display"
if ! [[ "$number" =~ ^[0-9]+$ ]]; then
  echo "x11-run: Xvfb did not report a display within 10 s" >&2
  cat "$dir/server.log" >&2
  exit 1
fi

export DISPLAY=":$number" DAUBLIN_X11_DISPLAY=":$number"
unset WAYLAND_DISPLAY
"$@" &
child=$!
wait "$child"
status=$?
child=
exit "$status"
