#!/usr/bin/env bash
# The first run of the real program on a virtual X display (1280 x 1024),
# with a stand-in xdg-open first on PATH that logs what it is asked to
# open: the welcome box stands over the new painting (a dark veil, the warm
# glass box with its title, the ochre Manual button), any key closes it and
# the canvas shows as the main smoke test expects it (1152 x 922 at
# (64, 51), light on the dark backdrop); ? then asks xdg-open for the manual
# beside the program; Ctrl+Q ends the run with status 0. The shots are kept
# in <shots folder>; the preferences folder is a temporary, empty one.
#
# Run through testsupport/x11-run.sh (CTest's daublin_welcome_smoke does):
#   bash testsupport/x11-run.sh 1280x1024x24 bash platform/tests/welcome-smoke.sh build/release/bin/daublin /tmp/shots
# Usage: welcome-smoke.sh <path of the daublin program> <shots folder>
set -u
[ -n "${DAUBLIN_SMOKE_TRACE:-}" ] && set -x

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

source "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/x11-helpers.sh"

[ $# -eq 2 ] || fail "usage: welcome-smoke.sh <path of the daublin program> <shots folder>"
# A first run: nothing in the preferences folder.
x11_program_setup "$1" "$2" 'welcome-*.png'

# The stand-in xdg-open: one line per call with its arguments.
mkdir -p "$work/bin"
cat >"$work/bin/xdg-open" <<STUB
#!/bin/sh
echo "\$*" >>"$work/xdg-open.log"
STUB
chmod +x "$work/bin/xdg-open"

source "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/x11-shots.sh"
# Whether pixel ($2, $3) of shot $1 is within $7 of ($4, $5, $6).
near() {
  local r g b
  read -r r g b < <(pixel "$1" "$2" "$3")
  [ $((${r:-999} - $4)) -le "$7" ] && [ $(($4 - ${r:-999})) -le "$7" ] &&
    [ $((${g:-999} - $5)) -le "$7" ] && [ $(($5 - ${g:-999})) -le "$7" ] &&
    [ $((${b:-999} - $6)) -le "$7" ] && [ $(($6 - ${b:-999})) -le "$7" ]
}

eval "$(xdotool getdisplaygeometry --shell)"
[ "${WIDTH}x$HEIGHT" = 1280x1024 ] || fail "the display is ${WIDTH}x$HEIGHT, not 1280x1024"

PATH="$work/bin:$PATH" "$program" 2>"$work/stderr" &
pid=$!
pids+=("$pid")
await "a visible window titled Daublin" find_window '^Daublin$'
wid=$found
expect_geometry "$wid" 0 0 1280 1024
timeout 60 xdotool windowfocus --sync "$wid" || fail "waited 60 s for the window to take the focus"

# The welcome box (564 x 268) centred on the window at (358, 378): its
# glass (#1E1D1A at 224 over the veiled canvas) dark and warm at (370, 400),
# the Manual button's ochre face (#E39B45) at (803, 600), the canvas under
# the veil darkened (not light) at (100, 100) and the glass's edge at
# (357, 500) the veiled canvas again.
welcome_shown() {
  near welcome-box 803 600 227 155 69 6 && is_dark welcome-box 370 400 &&
    ! is_light welcome-box 100 100 && ! is_dark welcome-box 100 100
}
await "the welcome box over the canvas (see $shots/welcome-box.png)" \
  settled welcome-box welcome_shown
read -r r g b < <(pixel welcome-box 370 400)
[ "$r" -ge "$g" ] && [ "$g" -ge "$b" ] && [ "$r" -gt 20 ] ||
  fail "the glass at (370, 400) is $r $g $b, not a warm dark (see $shots/welcome-box.png)"

# Any key closes it; the canvas shows as the main smoke test expects.
xdotool key x
canvas_shown() {
  is_light "$1" 64 51 && is_light "$1" 1215 972 && is_light "$1" 640 512 &&
    is_dark "$1" 63 51 && is_dark "$1" 64 50 && is_dark "$1" 1216 972 &&
    is_dark "$1" 1215 973 && is_dark "$1" 20 20
}
await "a key to close the welcome box over the canvas (see $shots/welcome-closed.png)" \
  settled welcome-closed canvas_shown welcome-closed

# ? opens the manual beside the program.
xdotool key question
manual="$(dirname "$program")/Resources/Manual/index.html"
asked() {
  await_said="it was asked: $(cat "$work/xdg-open.log" 2>/dev/null)"
  [ "$(cat "$work/xdg-open.log" 2>/dev/null)" = "$manual" ]
}
await "? to ask xdg-open for $manual" asked

xdotool key ctrl+q
ended "$pid" "Ctrl+Q to end the program"
[ "$status" -eq 0 ] || fail "Ctrl+Q ended the program with status $status: $(cat "$work/stderr")"
echo "welcome smoke: passed"
