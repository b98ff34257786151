#!/usr/bin/env bash
# The canvas picker in the real program on a virtual X display (1280 x
# 1024), with an empty preferences file (no welcome box). It clicks as a
# painter does:
# - Tools ▸ Paper…: the picker over the blurred window, the painting's
#   paper (the first) lit by its ochre glow;
# - the fourth paper and OK: the canvas shows the other paper;
# - Tools ▸ Paper… again (the fourth paper lit), a colour dragged from the
#   canvas-colour chooser into the swatch, Escape: the screen is the one
#   before, canvas and all;
# - a double click on the first paper chooses it and closes the picker: the
#   screen is the one before the picker first opened;
# - Ctrl+Q ends the program at once with status 0: choosing a paper marks
#   the painting modified no more than looking at it does.
# The shots are kept in <shots folder>.
#
# Run through testsupport/x11-run.sh (CTest's daublin_canvas_picker_smoke does):
#   bash testsupport/x11-run.sh 1280x1024x24 bash ui/tests/canvas-picker-smoke.sh build/release/bin/daublin /tmp/shots
# Usage: canvas-picker-smoke.sh <path of the daublin program> <shots folder>
set -u
[ -n "${DAUBLIN_SMOKE_TRACE:-}" ] && set -x

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

source "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/x11-helpers.sh"

[ $# -eq 2 ] || fail "usage: canvas-picker-smoke.sh <path of the daublin program> <shots folder>"
program=$(readlink -f "$1")
[ -x "$program" ] || fail "no program at $1"
shots=$2
mkdir -p "$shots" || fail "cannot make the shots folder $shots"
rm -f "$shots"/canvas-*.png
if [ -z "${DISPLAY:-}" ] || [ "${DAUBLIN_X11_DISPLAY:-}" != "$DISPLAY" ]; then
  fail "not on a display of its own; run it through testsupport/x11-run.sh (see the head of this script)"
fi
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
unset SDL_VIDEODRIVER

work=$(mktemp -d)
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$work/config/daublin" && : >"$work/config/daublin/Daublin.prs" ||
  fail "cannot make the preferences file"
pids=()
cleanup() {
  for p in "${pids[@]}"; do
    { kill -9 "$p" && wait "$p"; } 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/x11-shots.sh"
same_as() { [ "$(differing "$1" "$2")" = 0 ]; }
# Whether the pixel is a warm ochre: red well above blue, green between.
is_ochre() {
  local r g b
  read -r r g b < <(pixel "$@")
  [ "${r:-0}" -gt $((${b:-255} + 50)) ] && [ "${r:-0}" -ge "${g:-255}" ] && [ "${g:-0}" -gt "${b:-255}" ]
}
# How much shot $1 varies from row to row in region $2: the mean grey
# difference (0..1) between each pixel and the one above it.
spread() {
  convert "$shots/$1.png" -crop "$2" +repage \( +clone -roll +0+1 \) -compose difference -composite \
    -colorspace gray -format '%[fx:mean]' info:
}

eval "$(xdotool getdisplaygeometry --shell)"
[ "${WIDTH}x$HEIGHT" = 1280x1024 ] || fail "the display is ${WIDTH}x$HEIGHT, not 1280x1024"

PATH="$work/bin:$PATH" "$program" 2>"$work/stderr" &
pid=$!
pids+=("$pid")
await 30 "a visible window titled Daublin" find_window '^Daublin$'
wid=$found
expect_geometry "$wid" 0 0 1280 1024
timeout 5 xdotool windowfocus --sync "$wid" || fail "waited 5 s for the window to take the focus"

canvas_shown() {
  is_light "$1" 64 51 && is_light "$1" 1215 972 && is_dark "$1" 63 51 && is_dark "$1" 1216 972
}
await 30 "the canvas on the dark backdrop (see $shots/canvas-start.png)" \
  settled canvas-start canvas_shown canvas-start

click() { timeout 5 xdotool mousemove --sync "$1" "$2" click 1 || fail "waited 5 s to click at ($1, $2)"; }

# --- The canvas picker: a block of its own (the start-up above, the quit
# below). It uses click, is_ochre, spread and same_as from the start-up,
# and starts from whatever the window shows once it is still (a painting
# on the first paper, as every painting starts); its shots are canvas-*.
await 30 "the window to settle (see $shots/canvas-before.png)" settled canvas-before true
# The menu bar hangs at the window's right edge; the Tools title, and its
# Paper… row below the separator (rows 26 pixels from y 48, the separator 9).
bar=$((1280 - 540))
choose_paper_row() {
  click $((bar + 162)) 30
  click $((bar + 180)) $((48 + 26 * 7 + 13 + 9))
}
# The picker over the whole window: its glass (480 x 350) and the papers
# centred on the window, (640, 512). The papers (84 x 52, the preview 4
# pixels inside, its glow in that margin) two by two 10 pixels either side
# of x 640, their tops at y 401 and 489; the colour swatch at (534, 589),
# 56 x 24; Cancel and OK 112 x 32 at (632, 639) and (752, 639), OK ochre.
paper_x=(588 692 588 692) paper_y=(427 427 515 515)
# The glow's margin left of paper $2 in shot $1.
paper_lit() { is_ochre "$1" $((${paper_x[$2]} - 40)) "${paper_y[$2]}"; }
only_lit() {
  local shot=$1 lit=$2 i
  for i in 0 1 2 3; do
    if [ "$i" = "$lit" ]; then paper_lit "$shot" "$i" || return 1; else ! paper_lit "$shot" "$i" || return 1; fi
  done
}
picker_over_blur() {
  local before after
  # Below the glass the window shows blurred: the blur runs down the columns.
  before=$(spread canvas-before 1280x300+0+700)
  after=$(spread "$1" 1280x300+0+700)
  awk -v a="$after" -v b="$before" 'BEGIN { exit !(a * 2 < b) }' && is_dark "$1" 420 380 &&
    is_ochre "$1" 808 655 && only_lit "$1" "$2"
}
# The picker gone and the window not the one before it: the canvas changed.
canvas_changed() { ! is_ochre "$1" 808 655 && [ "$(differing "$1" canvas-before)" != 0 ]; }

choose_paper_row
await 30 "the picker over the blurred window with the first paper lit (see $shots/canvas-picker.png)" \
  settled canvas-picker picker_over_blur canvas-picker 0

# The fourth paper, then OK: the canvas shows it.
click "${paper_x[3]}" "${paper_y[3]}"
await 30 "the fourth paper lit (see $shots/canvas-picker-fourth.png)" \
  settled canvas-picker-fourth only_lit canvas-picker-fourth 3
click 808 655
await 30 "the canvas on the fourth paper (see $shots/canvas-paper.png)" \
  settled canvas-paper canvas_changed canvas-paper

# Again: the fourth paper lit; a colour from the chooser's spectrum into the
# swatch, then Escape: nothing changes.
choose_paper_row
await 30 "the picker with the fourth paper lit (see $shots/canvas-picker-again.png)" \
  settled canvas-picker-again picker_over_blur canvas-picker-again 3
# The chooser comes up centred on the swatch (562, 601), 232 x 160; its
# spectrum 200 x 96 from 16, 52 inside it. The pointer waits on the swatch
# until the press is taken, then moves into the spectrum.
timeout 10 xdotool mousemove --sync 562 601 mousedown 1 sleep 0.5 mousemove --sync 520 610 sleep 0.2 \
  mousemove --sync 492 621 sleep 0.5 mouseup 1 || fail "waited 10 s to drag from the swatch"
swatch_changed() {
  [ "$(differing "$1" canvas-picker-again 48x16+538+593)" != 0 ] && only_lit "$1" 3
}
await 30 "the swatch in the spectrum's colour (see $shots/canvas-colour.png)" \
  settled canvas-colour swatch_changed canvas-colour
xdotool key Escape
await 30 "Escape to leave the canvas as it was (see $shots/canvas-escaped.png)" \
  settled canvas-escaped same_as canvas-escaped canvas-paper

# A double click on the first paper chooses it and closes: the window as
# the block found it.
choose_paper_row
await 30 "the picker again (see $shots/canvas-picker-third.png)" \
  settled canvas-picker-third only_lit canvas-picker-third 3
timeout 5 xdotool mousemove --sync "${paper_x[0]}" "${paper_y[0]}" click --repeat 2 --delay 150 1 ||
  fail "waited 5 s to double-click"
await 30 "the double click to close on the first paper (see $shots/canvas-double.png)" \
  settled canvas-double same_as canvas-double canvas-before
# --- End of the canvas picker's block.

# Nothing above marked the painting: Ctrl+Q ends the program at once.
xdotool key ctrl+q
wait_exit "$pid" 100
status=$?
[ "$status" -ne 124 ] || fail "waited 10 s for Ctrl+Q to end the program (a save prompt?)"
[ "$status" -eq 0 ] || fail "the program ended with status $status: $(cat "$work/stderr")"
echo "canvas picker smoke: passed"
