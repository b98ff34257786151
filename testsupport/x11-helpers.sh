#!/usr/bin/env bash
# Helpers the scripts of tests under a virtual X display share; sourced, with
# fail() defined by the caller. Every wait is bounded and names what it
# waited for when it fails.

geometry=""
found=""

# await <seconds> <what> <command...>: runs the command every tenth of a
# second until it succeeds; fails naming <what> when <seconds> pass first.
await() {
  local tenths=$(($1 * 10)) what=$2 i
  shift 2
  for ((i = 0; i < tenths; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  fail "waited $((tenths / 10)) s for $what"
}

# Waits up to $2 tenths of a second for process $1 to end; its status, or
# 124 when it still runs.
wait_exit() {
  local pid=$1 tenths=$2 i
  for ((i = 0; i < tenths; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    return 124
  fi
  wait "$pid"
}

# Whether window $1 is at "$2" ("x,y wxh"); its place and size in $geometry.
has_geometry() {
  local X Y WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
  geometry="${X:-?},${Y:-?} ${WIDTH:-?}x${HEIGHT:-?}"
  [ "$geometry" = "$2" ]
}

# Waits up to 10 s for the window's geometry to be "$2,$3 $4x$5".
expect_geometry() {
  local wid=$1 want="$2,$3 $4x$5" i
  for ((i = 0; i < 100; i++)); do
    has_geometry "$wid" "$want" && return 0
    sleep 0.1
  done
  fail "waited 10 s for the window at $want; it is at $geometry"
}

# Sets $found to the first visible top-level window named by the regular
# expression $1.
find_window() {
  found=$(xdotool search --onlyvisible --maxdepth 1 --name "$1" 2>/dev/null | head -1)
  [ -n "$found" ]
}

# The start every run of the real program shares, after the script has
# checked its arguments: x11_program_setup <program> <shots folder>
# <pattern of the script's own shots>. Sets $program (made absolute) and
# $shots (made, this script's old shots taken away); refuses a display
# that is not the script's own (testsupport/x11-run.sh starts one); lets
# SDL open a real window, with leak checks off as X11's own libraries keep
# memory to the end; makes a temporary $work holding XDG_CONFIG_HOME, so
# nobody's own settings are touched. On exit every process in $pids and
# $pid, with its children (a dialog the program started), is ended and
# $work removed.
x11_program_setup() {
  program=$(readlink -f "$1")
  [ -x "$program" ] || fail "no program at $1"
  shots=$2
  mkdir -p "$shots" || fail "cannot make the shots folder $shots"
  rm -f "$shots"/$3
  if [ -z "${DISPLAY:-}" ] || [ "${DAUBLIN_X11_DISPLAY:-}" != "$DISPLAY" ]; then
    fail "not on a display of its own; run it through testsupport/x11-run.sh (see the head of this script)"
  fi
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  unset SDL_VIDEODRIVER
  work=$(mktemp -d)
  export XDG_CONFIG_HOME="$work/config"
  pids=()
  pid=""
  trap x11_program_cleanup EXIT
}
x11_program_cleanup() {
  local p child
  for p in "${pids[@]}" $pid; do
    for child in $(pgrep -P "$p" 2>/dev/null); do kill -9 "$child" 2>/dev/null; done
    { kill -9 "$p" && wait "$p"; } 2>/dev/null
  done
  rm -rf "$work"
}

# An empty preferences file: the run is no first run, so no welcome box
# stands over the window (platform/tests/welcome-smoke.sh runs one).
no_first_run() {
  mkdir -p "$XDG_CONFIG_HOME/daublin" && : >"$XDG_CONFIG_HOME/daublin/Daublin.prs" ||
    fail "cannot make the preferences file"
}

# A stand-in zenity, first on the program's PATH from $work/bin: its file
# dialog takes the keyboard focus away (to the root window, where a dialog
# window's focus goes when it closes) and answers the first line of
# $work/answers, which it takes off (an empty line or none cancels);
# anything else of zenity, an alert among them, goes to the real one.
# Every call's arguments are logged in $work/zenity.log.
answering_zenity() {
  local real
  real=$(command -v zenity) || fail "no zenity on PATH"
  mkdir -p "$work/bin"
  : >"$work/answers"
  cat >"$work/bin/zenity" <<STUB
#!/bin/sh
echo "\$*" >>"$work/zenity.log"
case "\$*" in
*--file-selection*)
  xdotool windowfocus --sync "\$(xdotool search --maxdepth 0 --name '' | head -1)"
  answer=\$(head -1 "$work/answers")
  sed -i 1d "$work/answers"
  [ -n "\$answer" ] || exit 1
  echo "\$answer"
  ;;
*) exec "$real" "\$@" ;;
esac
STUB
  chmod +x "$work/bin/zenity"
}
