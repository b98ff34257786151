#!/usr/bin/env bash
# Helpers the scripts of tests under a virtual X display share; sourced, with
# fail() defined by the caller. Every wait is bounded and names what it
# waited for when it fails.

geometry=""
found=""

# Every wait of a run is this one. await <what> <command...> runs the
# command every tenth of a second until it succeeds, for at most
# $X11_WAIT_SECONDS (60 by default, spent only when something is really
# wrong), then fails naming <what> and, when the command left one in
# $await_said, what it saw last. Each wait's length goes to the file
# $DAUBLIN_X11_WAITS when it is set (scripts/stress-x11.sh reads it).
await_said=""
await() {
  local what=$1 limit=${X11_WAIT_SECONDS:-60} start now
  shift
  await_said=""
  start=${EPOCHREALTIME//[.,]/}
  until "$@"; do
    now=${EPOCHREALTIME//[.,]/}
    if ((now - start >= limit * 1000000)); then
      fail "waited $limit s for $what${await_said:+; $await_said}"
    fi
    sleep 0.1
  done
  if [ -n "${DAUBLIN_X11_WAITS:-}" ]; then
    now=${EPOCHREALTIME//[.,]/}
    printf '%s %d %s\n' "$(basename "$0" .sh)" $(((now - start) / 1000)) "$what" \
      >>"$DAUBLIN_X11_WAITS"
  fi
  return 0
}

# Whether process $1 has ended.
gone() { ! kill -0 "$1" 2>/dev/null; }

# ended <pid> <what>: waits for the process to end, naming <what> when it
# does not; its exit status is then in $status.
status=""
ended() {
  local pid=$1
  shift
  await "$*" gone "$pid"
  wait "$pid"
  status=$?
}

# Whether window $1 is at "$2" ("x,y wxh"); its place and size in $geometry.
has_geometry() {
  local X Y WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
  geometry="${X:-?},${Y:-?} ${WIDTH:-?}x${HEIGHT:-?}"
  await_said="it is at $geometry"
  [ "$geometry" = "$2" ]
}

# Waits for the window's geometry to be "$2,$3 $4x$5".
expect_geometry() {
  await "the window at $2,$3 $4x$5" has_geometry "$1" "$2,$3 $4x$5"
}

# An alert: any visible top-level window but the root and the program's
# own, found by being there on this display of the test's own (its title is
# empty, and SDL's box and a zenity dialog differ in size and place); sets
# $alert.
alert=""
any_alert() {
  local root w
  root=$(xdotool search --maxdepth 0 --name '' 2>/dev/null | head -1)
  for w in $(xdotool search --onlyvisible --maxdepth 1 --name '' 2>/dev/null); do
    [ "$w" = "$root" ] && continue
    [ "$(xdotool getwindowname "$w" 2>/dev/null)" = Daublin ] && continue
    alert=$w
    return 0
  done
  return 1
}

# Whether window $1 is a visible top-level window.
is_visible() {
  xdotool search --onlyvisible --maxdepth 1 --name '' 2>/dev/null | grep -qx "$1"
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
