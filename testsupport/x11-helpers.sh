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
