#!/usr/bin/env bash
# Runs the real program on a virtual X display (1280 x 1024) and drives it
# with xdotool: the window "Daublin" fills the screen, the minus key makes it
# a centred window of 1024 x 768, Escape does nothing and Ctrl-Q quits with
# status 0. A start with a damaged resource file shows its alert, which
# Return dismisses, and ends with a non-zero status and no process left
# behind.
#
# It takes the whole display, so it runs only on a display of its own, the
# one testsupport/x11-run.sh starts (CTest's daublin_smoke does):
#   bash testsupport/x11-run.sh 1280x1024x24 bash platform/tests/smoke.sh build/release/bin/daublin
# Every wait is bounded and names what it waited for when it fails.
# Usage: smoke.sh <path of the daublin program>
set -u
[ -n "${DAUBLIN_SMOKE_TRACE:-}" ] && set -x

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# await, wait_exit, has_geometry, expect_geometry, find_window.
source "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/x11-helpers.sh"

[ $# -eq 1 ] || fail "usage: smoke.sh <path of the daublin program>"
program=$(readlink -f "$1")
[ -x "$program" ] || fail "no program at $1"
if [ -z "${DISPLAY:-}" ] || [ "${DAUBLIN_X11_DISPLAY:-}" != "$DISPLAY" ]; then
  fail "not on a display of its own; run it through testsupport/x11-run.sh (see the head of this script)"
fi

# X11's own libraries keep memory to the end; only the smoke run ignores
# leaks.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
unset SDL_VIDEODRIVER

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do
    for child in $(pgrep -P "$p" 2>/dev/null); do kill -9 "$child" 2>/dev/null; done
    { kill -9 "$p" && wait "$p"; } 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT

# Sets $found to the first visible top-level window named by the regular
# expression $1.

# The alert of process $1: any visible top-level window but the root and
# the program's own. Its title is empty and, by the fonts the X server
# has, it is either SDL's own box or a zenity dialog (the box needs a core
# X font), each of its own size and place; so it is found by being there,
# on this display of the test's own, and not by a name or a position.
alert=""
find_alert() {
  local root w
  kill -0 "$1" 2>/dev/null ||
    fail "the program ended without showing an alert; it wrote: $(cat "$work/stderr")"
  root=$(xdotool search --maxdepth 0 --name '' 2>/dev/null | head -1)
  for w in $(xdotool search --onlyvisible --maxdepth 1 --name '' 2>/dev/null); do
    [ "$w" = "$root" ] && continue
    [ "$(xdotool getwindowname "$w" 2>/dev/null)" = Daublin ] && continue
    alert=$w
    return 0
  done
  return 1
}

is_visible() {
  xdotool search --onlyvisible --maxdepth 1 --name '' 2>/dev/null | grep -qx "$1"
}

eval "$(xdotool getdisplaygeometry --shell)"
[ "${WIDTH}x$HEIGHT" = 1280x1024 ] || fail "the display is ${WIDTH}x$HEIGHT, not 1280x1024"

# 1. A normal run.
"$program" &
pid=$!
pids+=("$pid")
await 10 "a visible window titled Daublin" find_window '^Daublin$'
wid=$found
expect_geometry "$wid" 0 0 1280 1024
timeout 5 xdotool windowfocus --sync "$wid" || fail "waited 5 s for the window to take the focus"
xdotool key minus
expect_geometry "$wid" 128 128 1024 768
# Escape is taken by the program and does nothing: after it a key that
# changes the window still arrives, so Escape neither quit nor hung.
xdotool key Escape
xdotool key plus
expect_geometry "$wid" 0 0 1280 1024
kill -0 "$pid" 2>/dev/null || fail "Escape ended the program"
# Ctrl-Q is the control code 17: on X11 the Super key is the control key
# (Ctrl is the command key, which leaves q a plain q).
xdotool key super+q
wait_exit "$pid" 100
status=$?
[ "$status" -ne 124 ] || fail "waited 10 s for Ctrl-Q to end the program"
[ "$status" -eq 0 ] || fail "Ctrl-Q ended the program with status $status"

# 2. A damaged resource file. Without a window manager the keyboard focus
# follows the pointer unless a window is given it; the alert is given it,
# so that Return reaches it wherever it lies.
mkdir -p "$work/Resources"
cp "$program" "$work/daublin"
head -c 4096 /dev/zero | tr '\0' '\377' >"$work/Resources/system.vrf"
"$work/daublin" 2>"$work/stderr" &
pid=$!
pids+=("$pid")
await 5 "the alert of a damaged resource file" find_alert "$pid"
status=124
# A dialog mapped a moment ago may not handle keys yet: up to 5 tries.
for ((try = 0; try < 5; try++)); do
  if is_visible "$alert"; then
    timeout 5 xdotool windowfocus --sync "$alert" 2>/dev/null ||
      fail "waited 5 s for the alert to take the focus"
    xdotool key Return
  fi
  wait_exit "$pid" 10
  status=$?
  [ "$status" -ne 124 ] && break
done
if [ "$status" -eq 124 ]; then
  is_visible "$alert" && fail "waited 5 s for Return to dismiss the alert"
  fail "waited 5 s for the program to end after its alert"
fi
[ "$status" -ne 0 ] || fail "a failed start-up ended with status 0"
grep -q "Error." "$work/stderr" || fail "the alert did not say Error."
if pgrep -f "$work/" >/dev/null; then
  fail "a process was left behind"
fi
echo "smoke: passed"
