#!/usr/bin/env bash
# The tracing-paper picker in the real program on a virtual X display
# (1280 x 1024), with a stand-in for zenity (its file dialog answers the
# next line of a list, after taking the keyboard focus as a dialog window
# does) first on PATH, and an empty preferences file (no welcome box). It
# works as a painter does:
# - at start only a strip of the picker shows at the window's bottom; the
#   pointer on it brings the whole panel up, the white sheet with its
#   placeholder;
# - a click on the preview loads a picture made here, its left half black
#   and its right half white: the preview shows grey 86 and white halves,
#   and the panel stays up;
# - t hides the tracing image and t shows it again: the shots differ on
#   the canvas only;
# - a click on the preview opens the menu upward from its centre, ticked
#   as the canvas stands (shown, colour from the tracing image, fit inside);
# - Fill canvas changes the canvas; Clear tracing image brings back the
#   white preview with its placeholder;
# - Tools ▸ Paper…: the canvas picker over the blurred window, the
#   painting's paper (the first) lit by its ochre glow;
# - the fourth paper and OK: the canvas shows the other paper;
# - Tools ▸ Paper… again (the fourth paper lit), a colour dragged from the
#   canvas-colour chooser into the swatch, Escape: the screen is the one
#   before, canvas and all;
# - a double click on the first paper chooses it and closes the picker: the
#   screen is the one before the picker first opened;
# - the quit key then raises the save prompt (the tracing image loaded
#   earlier marked the painting; the papers did not), and n quits with
#   status 0.
# The shots (trace-*, canvas-*) are kept in <shots folder>.
#
# Run through testsupport/x11-run.sh (CTest's daublin_pickers_smoke does):
#   bash testsupport/x11-run.sh 1280x1024x24 bash ui/tests/pickers-smoke.sh build/release/bin/daublin /tmp/shots
# Usage: pickers-smoke.sh <path of the daublin program> <shots folder>
set -u
[ -n "${DAUBLIN_SMOKE_TRACE:-}" ] && set -x

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

source "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/x11-helpers.sh"

[ $# -eq 2 ] || fail "usage: pickers-smoke.sh <path of the daublin program> <shots folder>"
x11_program_setup "$1" "$2" 'trace-*.png'
rm -f "$shots"/canvas-*.png
no_first_run

answering_zenity

source "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/x11-shots.sh"
# Whether the pixel is exactly "r g b".
is_pixel() { [ "$(pixel "$1" "$2" "$3")" = "$4" ]; }
# shoot parks the pointer on the backdrop, away from the picker, which
# then slides away: the raised picker is seen with settled_here.
# Whether the placeholder's grey drawing shows: the sheet's 32 x 32 square
# under it holds a pixel darker than light grey.
placeholder() {
  [ "$(convert "$shots/$1.png" -crop 32x32+624+932 +repage -colorspace gray \
    -format '%[fx:minima < 0.7]' info:)" = 1 ]
}
move() { timeout 60 xdotool mousemove --sync "$1" "$2" || fail "waited 60 s to move to ($1, $2)"; }
# A click counts where the pointer is when the program takes the release,
# so after a click the pointer stays put (settled_here) until what the
# click does shows.
click() { timeout 60 xdotool mousemove --sync "$1" "$2" click 1 || fail "waited 60 s to click at ($1, $2)"; }

eval "$(xdotool getdisplaygeometry --shell)"
[ "${WIDTH}x$HEIGHT" = 1280x1024 ] || fail "the display is ${WIDTH}x$HEIGHT, not 1280x1024"

PATH="$work/bin:$PATH" "$program" 2>"$work/stderr" &
pid=$!
pids+=("$pid")
await "a visible window titled Daublin" find_window '^Daublin$'
wid=$found
expect_geometry "$wid" 0 0 1280 1024
timeout 60 xdotool windowfocus --sync "$wid" || fail "waited 60 s for the window to take the focus"

canvas_shown() {
  is_light "$1" 64 51 && is_light "$1" 1215 972 && is_dark "$1" 63 51 && is_dark "$1" 1216 972
}
# The canvas of the new painting: x 64 to 1215, y 51 to 972.
canvas_region=1152x922+64+51

# The picker: 124 x 112, centred on the bottom edge, x 578 to 702. Away
# (-90) its top 22 rows show, y 1002 to 1023; up (10) it spans y 902 to
# 1014. Its preview, 96 x 96, is 14 pixels in and 8 down: x 592 to 688, y
# 910 to 1006 when up, centre (640, 958). The pointer rests on the panel
# at (640, 1008), which lies on it both away and up.
strip_x=640 strip_y=1008
preview_x0=592 preview_y0=910 centre_x=640 centre_y=958
# A strip of the sheet at the window's bottom, dark glass above it.
strip_only() {
  canvas_shown "$1" && is_light "$1" 640 1014 && is_dark "$1" 640 1001 && is_dark "$1" 584 1020
}
await "the canvas with the picker's strip at the bottom (see $shots/trace-start.png)" \
  settled trace-start strip_only trace-start

# The pointer on the strip: the whole panel comes up, the white sheet with
# the placeholder's grey drawing and words.
move "$strip_x" "$strip_y"
picker_up() {
  is_light "$1" $((preview_x0 + 6)) $((preview_y0 + 6)) && is_dark "$1" 584 960 &&
    is_dark "$1" $((preview_x0 + 6)) $((preview_y0 - 4)) && placeholder "$1"
}
await "the picker up with its placeholder (see $shots/trace-up.png)" \
  settled_here trace-up picker_up trace-up

# A click on the preview: the dialog answers a picture, left half black,
# right half white; the preview shows grey 86 and white.
convert -size 200x300 xc:black -size 200x300 xc:white +append "$work/halves.png" ||
  fail "cannot make the tracing picture"
echo "$work/halves.png" >>"$work/answers"
click "$centre_x" "$centre_y"
await "a click on the preview to ask the file dialog for a picture" \
  grep -q -- --file-selection "$work/zenity.log"
halves() {
  is_pixel "$1" $((preview_x0 + 20)) "$centre_y" "86 86 86" &&
    is_pixel "$1" $((preview_x0 + 76)) "$centre_y" "255 255 255" &&
    is_pixel "$1" $((preview_x0 + 20)) $((preview_y0 + 20)) "86 86 86"
}
# Parked away from it, the loaded picker stays up.
await "the preview in grey 86 and white halves (see $shots/trace-loaded.png)" \
  settled trace-loaded halves trace-loaded

# t hides the tracing image and t shows it again: only the canvas changes.
xdotool key t
on_canvas_only() {
  local all inside
  all=$(differing "$1" trace-loaded)
  inside=$(differing "$1" trace-loaded "$canvas_region")
  [ "$all" != 0 ] && [ "$all" = "$inside" ]
}
await "t to change the canvas alone (see $shots/trace-hidden.png)" \
  settled trace-hidden on_canvas_only trace-hidden
xdotool key t
await "t to show the tracing image again (see $shots/trace-shown.png)" \
  settled trace-shown same_as trace-shown trace-loaded

# A click on the preview: the menu upward from its centre, 222 high (a
# margin of 20, seven rows of 26, a margin of 20), its rows' ticks 15
# pixels in: shown (row 2), colour from the tracing image (3), fit inside
# (5) ticked; stretch (4) and fill (6) not.
click "$centre_x" "$centre_y"
menu_top=$((centre_y - 222))
row_y() { echo $((menu_top + 20 + 26 * $1 + 13)); }
tick_x=$((centre_x + 15))
tick_y() { echo $((menu_top + 20 + 26 * $1 + 16)); }
menu_up() {
  is_dark "$1" $((centre_x + 40)) $((menu_top + 8)) && is_dark "$1" $((centre_x + 40)) $((centre_y - 6)) &&
    is_light "$1" $((centre_x + 40)) $((menu_top - 6)) && is_light "$1" $((centre_x + 40)) $((centre_y + 4)) &&
    is_ochre "$1" "$tick_x" "$(tick_y 2)" && is_ochre "$1" "$tick_x" "$(tick_y 3)" &&
    is_ochre "$1" "$tick_x" "$(tick_y 5)" && ! is_ochre "$1" "$tick_x" "$(tick_y 4)" &&
    ! is_ochre "$1" "$tick_x" "$(tick_y 6)" && ! is_ochre "$1" "$tick_x" "$(tick_y 0)"
}
await "the menu upward from the preview with its ticks (see $shots/trace-menu.png)" \
  settled_here trace-menu menu_up trace-menu
# The menu closed: its glass gone from the canvas (light where the tracing
# image is white, and where it is cleared).
menu_closed() { is_light "$1" $((centre_x + 40)) $((menu_top + 8)); }

# Fill canvas: the tracing image fills the canvas; the canvas changes.
click $((centre_x + 60)) "$(row_y 6)"
await "Fill canvas to close the menu (see $shots/trace-fill-chosen.png)" \
  settled_here trace-fill-chosen menu_closed trace-fill-chosen
filled() { ! same_as "$1" trace-loaded && [ "$(differing "$1" trace-loaded)" = "$(differing "$1" trace-loaded "$canvas_region")" ]; }
await "Fill canvas to change the canvas (see $shots/trace-filled.png)" \
  settled trace-filled filled trace-filled

# Clear tracing image: the white sheet and the placeholder again, seen with
# the pointer on the panel (an empty picker slides away from a parked one).
click "$centre_x" "$centre_y"
await "the menu again" settled_here trace-menu2 is_dark trace-menu2 $((centre_x + 40)) $((menu_top + 8))
click $((centre_x + 60)) "$(row_y 0)"
await "Clear tracing image to close the menu (see $shots/trace-clear-chosen.png)" \
  settled_here trace-clear-chosen menu_closed trace-clear-chosen
move "$strip_x" "$strip_y"
cleared() {
  is_pixel "$1" $((preview_x0 + 20)) "$centre_y" "255 255 255" &&
    is_pixel "$1" $((preview_x0 + 76)) "$centre_y" "255 255 255" && picker_up "$1"
}
await "Clear tracing image to bring back the white preview (see $shots/trace-cleared.png)" \
  settled_here trace-cleared cleared trace-cleared

# The canvas picker, from the window as the steps above leave it once it is
# still (the painting on the first paper, as every painting starts); its
# shots are canvas-*.
await "the window to settle (see $shots/canvas-before.png)" settled canvas-before true
# The menu bar hangs at the window's right edge; the Tools title, and its
# Paper… row below the separator (rows 26 pixels from y 48, the separator 9).
bar=$((1280 - 540))
tools_left=$((bar + 134)) paper_row_y=$((48 + 26 * 7 + 13 + 9))
# The Tools menu drawn open: its dark glass at the left margin, its first
# row's bright words.
tools_open() {
  is_dark "$1" $((tools_left + 5)) 55 &&
    [ "$(convert "$shots/$1.png" -crop "60x14+$((tools_left + 10))+54" +repage -colorspace gray \
      -format '%[fx:maxima > 0.6]' info:)" = 1 ]
}
# Tools, then Paper… once the menu shows; $1 names the shot.
choose_paper_row() {
  click $((bar + 162)) 30
  await "the Tools menu (see $shots/$1.png)" settled_here "$1" tools_open "$1"
  click $((bar + 180)) "$paper_row_y"
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

choose_paper_row canvas-tools
await "the picker over the blurred window with the first paper lit (see $shots/canvas-picker.png)" \
  settled_here canvas-picker picker_over_blur canvas-picker 0

# The fourth paper, then OK: the canvas shows it.
click "${paper_x[3]}" "${paper_y[3]}"
await "the fourth paper lit (see $shots/canvas-picker-fourth.png)" \
  settled_here canvas-picker-fourth only_lit canvas-picker-fourth 3
click 808 655
# The picker gone: no ochre OK button.
picker_gone() { ! is_ochre "$1" 808 655; }
await "OK to close the picker (see $shots/canvas-ok.png)" settled_here canvas-ok picker_gone canvas-ok
await "the canvas on the fourth paper (see $shots/canvas-paper.png)" \
  settled canvas-paper canvas_changed canvas-paper

# Again: the fourth paper lit; a colour from the chooser's spectrum into the
# swatch, then Escape: nothing changes.
choose_paper_row canvas-tools-again
await "the picker with the fourth paper lit (see $shots/canvas-picker-again.png)" \
  settled_here canvas-picker-again picker_over_blur canvas-picker-again 3
# The chooser comes up centred on the swatch (562, 601), 232 x 160, when
# the press is taken; its spectrum 200 x 96 from 16, 52 inside it (cyan at
# the swatch's x, 20 pixels lower). The pointer waits on the swatch until
# the chooser shows, then moves into the spectrum and lets go there, and
# stays until the swatch shows the colour.
spectrum_shown() {
  local r g b
  read -r r g b < <(pixel "$1" 562 621)
  [ "${r:-255}" -lt 60 ] && [ "${g:-0}" -gt 200 ] && [ "${b:-0}" -gt 200 ]
}
timeout 60 xdotool mousemove --sync 562 601 mousedown 1 || fail "waited 60 s to press on the swatch"
await "the press on the swatch to show the chooser (see $shots/canvas-chooser.png)" \
  settled_here canvas-chooser spectrum_shown canvas-chooser
timeout 60 xdotool mousemove --sync 520 610 sleep 0.2 mousemove --sync 492 621 mouseup 1 ||
  fail "waited 60 s to drag into the spectrum"
swatch_changed() {
  [ "$(differing "$1" canvas-picker-again 48x16+538+593)" != 0 ] && only_lit "$1" 3
}
await "the swatch in the spectrum's colour (see $shots/canvas-colour.png)" \
  settled_here canvas-colour swatch_changed canvas-colour
xdotool key Escape
await "Escape to leave the canvas as it was (see $shots/canvas-escaped.png)" \
  settled canvas-escaped same_as canvas-escaped canvas-paper

# A double click on the first paper chooses it and closes: the window as
# the block found it.
choose_paper_row canvas-tools-third
await "the picker again (see $shots/canvas-picker-third.png)" \
  settled_here canvas-picker-third only_lit canvas-picker-third 3
timeout 60 xdotool mousemove --sync "${paper_x[0]}" "${paper_y[0]}" click --repeat 2 --delay 150 1 ||
  fail "waited 60 s to double-click"
await "the double click to close the picker (see $shots/canvas-double-closed.png)" \
  settled_here canvas-double-closed picker_gone canvas-double-closed
await "the double click to close on the first paper (see $shots/canvas-double.png)" \
  settled canvas-double same_as canvas-double canvas-before
# The quit key: the tracing image loaded earlier marked the painting, so the
# save prompt comes up; n quits with status 0.
timeout 60 xdotool windowfocus --sync "$wid" || fail "waited 60 s for the window to take the focus"
xdotool key ctrl+q
# The prompt's Save face (ochre) at (724, 540) to (836, 572).
prompt_shown() { is_ochre "$1" 740 556; }
await "the save prompt (see $shots/trace-prompt.png)" settled trace-prompt prompt_shown trace-prompt
xdotool key n
ended "$pid" "n to end the program"
pids=() pid=""
[ "$status" -eq 0 ] || fail "the program ended with status $status: $(cat "$work/stderr")"
echo "pickers smoke: passed"
