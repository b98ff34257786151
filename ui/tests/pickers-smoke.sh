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
# - the quit key then raises the save prompt (the tracing image loaded
#   earlier marked the painting), and n quits with status 0.
# The shots are kept in <shots folder>.
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
no_first_run

# The stand-in: zenity's file dialog answers the first line of
# $work/answers (and takes it off), anything else of zenity goes to the
# real one.
real_zenity=$(command -v zenity) || fail "no zenity on PATH"
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
*) exec "$real_zenity" "\$@" ;;
esac
STUB
chmod +x "$work/bin/zenity"

source "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/x11-shots.sh"
same_as() { [ "$(differing "$1" "$2")" = 0 ]; }
# Whether the pixel is a warm ochre: red well above blue, green between.
is_ochre() {
  local r g b
  read -r r g b < <(pixel "$@")
  [ "${r:-0}" -gt $((${b:-255} + 50)) ] && [ "${r:-0}" -ge "${g:-255}" ] && [ "${g:-0}" -gt "${b:-255}" ]
}
# Whether the pixel is exactly "r g b".
is_pixel() { [ "$(pixel "$1" "$2" "$3")" = "$4" ]; }
# A shot with the pointer left where it is (shoot parks it on the
# backdrop, away from the picker, which then slides away), taken again
# until two in a row are the same and the command after it accepts it.
shoot_here() {
  import -window root -define png:compression-level=1 "$shots/$1.png" 2>>"$work/import.log" ||
    fail "import could not take the shot $1: $(cat "$work/import.log")"
}
settled_here() {
  local name=$1
  shift
  shoot_here "$name-next"
  if [ -f "$shots/$name.png" ] && [ "$(differing "$name" "$name-next")" = 0 ]; then
    rm -f "$shots/$name-next.png"
    "$@"
    return
  fi
  mv "$shots/$name-next.png" "$shots/$name.png"
  return 1
}
# Whether the placeholder's grey drawing shows: the sheet's 32 x 32 square
# under it holds a pixel darker than light grey.
placeholder() {
  [ "$(convert "$shots/$1.png" -crop 32x32+624+932 +repage -colorspace gray \
    -format '%[fx:minima < 0.7]' info:)" = 1 ]
}
move() { timeout 5 xdotool mousemove --sync "$1" "$2" || fail "waited 5 s to move to ($1, $2)"; }
click() { timeout 5 xdotool mousemove --sync "$1" "$2" click 1 || fail "waited 5 s to click at ($1, $2)"; }

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
await 30 "the canvas with the picker's strip at the bottom (see $shots/trace-start.png)" \
  settled trace-start strip_only trace-start

# The pointer on the strip: the whole panel comes up, the white sheet with
# the placeholder's grey drawing and words.
move "$strip_x" "$strip_y"
picker_up() {
  is_light "$1" $((preview_x0 + 6)) $((preview_y0 + 6)) && is_dark "$1" 584 960 &&
    is_dark "$1" $((preview_x0 + 6)) $((preview_y0 - 4)) && placeholder "$1"
}
await 30 "the picker up with its placeholder (see $shots/trace-up.png)" \
  settled_here trace-up picker_up trace-up

# A click on the preview: the dialog answers a picture, left half black,
# right half white; the preview shows grey 86 and white.
convert -size 200x300 xc:black -size 200x300 xc:white +append "$work/halves.png" ||
  fail "cannot make the tracing picture"
echo "$work/halves.png" >>"$work/answers"
click "$centre_x" "$centre_y"
halves() {
  is_pixel "$1" $((preview_x0 + 20)) "$centre_y" "86 86 86" &&
    is_pixel "$1" $((preview_x0 + 76)) "$centre_y" "255 255 255" &&
    is_pixel "$1" $((preview_x0 + 20)) $((preview_y0 + 20)) "86 86 86"
}
# Parked away from it, the loaded picker stays up.
await 30 "the preview in grey 86 and white halves (see $shots/trace-loaded.png)" \
  settled trace-loaded halves trace-loaded
grep -q -- --file-selection "$work/zenity.log" || fail "no file dialog was asked for"

# t hides the tracing image and t shows it again: only the canvas changes.
xdotool key t
on_canvas_only() {
  local all inside
  all=$(differing "$1" trace-loaded)
  inside=$(differing "$1" trace-loaded "$canvas_region")
  [ "$all" != 0 ] && [ "$all" = "$inside" ]
}
await 30 "t to change the canvas alone (see $shots/trace-hidden.png)" \
  settled trace-hidden on_canvas_only trace-hidden
xdotool key t
await 30 "t to show the tracing image again (see $shots/trace-shown.png)" \
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
await 30 "the menu upward from the preview with its ticks (see $shots/trace-menu.png)" \
  settled trace-menu menu_up trace-menu

# Fill canvas: the tracing image fills the canvas; the canvas changes.
click $((centre_x + 60)) "$(row_y 6)"
filled() { ! same_as "$1" trace-loaded && [ "$(differing "$1" trace-loaded)" = "$(differing "$1" trace-loaded "$canvas_region")" ]; }
await 30 "Fill canvas to change the canvas (see $shots/trace-filled.png)" \
  settled trace-filled filled trace-filled

# Clear tracing image: the white sheet and the placeholder again, seen with
# the pointer on the panel (an empty picker slides away from a parked one).
click "$centre_x" "$centre_y"
await 30 "the menu again" settled trace-menu2 is_dark trace-menu2 $((centre_x + 40)) $((menu_top + 8))
click $((centre_x + 60)) "$(row_y 0)"
move "$strip_x" "$strip_y"
cleared() {
  is_pixel "$1" $((preview_x0 + 20)) "$centre_y" "255 255 255" &&
    is_pixel "$1" $((preview_x0 + 76)) "$centre_y" "255 255 255" && picker_up "$1"
}
await 30 "Clear tracing image to bring back the white preview (see $shots/trace-cleared.png)" \
  settled_here trace-cleared cleared trace-cleared

# --- The canvas picker's steps go here (spliced in before the quit). ---

# The quit key: the tracing image loaded earlier marked the painting, so the
# save prompt comes up; n quits with status 0.
timeout 5 xdotool windowfocus --sync "$wid" || fail "waited 5 s for the window to take the focus"
xdotool key ctrl+q
# The prompt's Save face (ochre) at (724, 540) to (836, 572).
prompt_shown() { is_ochre "$1" 740 556; }
await 30 "the save prompt (see $shots/trace-prompt.png)" settled trace-prompt prompt_shown trace-prompt
xdotool key n
wait_exit "$pid" 100
status=$?
[ "$status" -ne 124 ] || fail "waited 10 s for n to end the program"
[ "$status" -eq 0 ] || fail "the program ended with status $status: $(cat "$work/stderr")"
echo "pickers smoke: passed"
