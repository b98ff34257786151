#!/usr/bin/env bash
# The menu bar in the real program on a virtual X display (1280 x 1024),
# with stand-ins for zenity (a file dialog answers the next line of a list,
# after taking the keyboard focus as a dialog window does; every call is
# logged) and xdg-open first on PATH, and an empty preferences file (no
# welcome box). It clicks as a painter does:
# - File: the menu hangs under its title (dark glass, the separator, the
#   shortcut column); Escape closes it and the screen is the one before;
# - Tools ▸ Chalk, and Tools again shows the ochre tick on Chalk;
# - Edit ▸ Interface Sounds, and Edit again shows it unticked;
# - Help ▸ About: the about box over the blurred window (the picture
#   around the box varies far less than the screen behind it); a key
#   closes it;
# - File ▸ Import with a 640 x 480 picture, dark left half and light right half:
#   a 640 x 480 canvas showing both halves;
# - File ▸ Export to out.png: a PNG of the canvas's size;
# - the zoom value clicked, 150 typed, Return: the canvas 1.5 times as large
#   (960 x 720, its edges found on the dark backdrop, after an import);
# - the pan button: the overlay; a drag moves the canvas by the drag; a key
#   closes it;
# - the window button: a 1024 x 768 window, and back to the whole screen;
# - File ▸ Save As into a folder that does not exist: one "Error." alert;
# - after a stroke, Ctrl+Q raises the save prompt and n quits with status 0.
# The shots are kept in <shots folder>.
#
# Run through testsupport/x11-run.sh (CTest's daublin_menu_smoke does):
#   bash testsupport/x11-run.sh 1280x1024x24 bash ui/tests/menu-smoke.sh build/release/bin/daublin /tmp/shots
# Usage: menu-smoke.sh <path of the daublin program> <shots folder>
set -u
[ -n "${DAUBLIN_SMOKE_TRACE:-}" ] && set -x

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

source "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/x11-helpers.sh"

[ $# -eq 2 ] || fail "usage: menu-smoke.sh <path of the daublin program> <shots folder>"
x11_program_setup "$1" "$2" 'menu-*.png'
no_first_run

answering_zenity
# xdg-open only logs.
cat >"$work/bin/xdg-open" <<STUB
#!/bin/sh
echo "\$*" >>"$work/xdg-open.log"
STUB
chmod +x "$work/bin/xdg-open"

source "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/x11-shots.sh"

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
await "the canvas on the dark backdrop (see $shots/menu-start.png)" \
  settled menu-start canvas_shown menu-start

# The bar hangs at the window's right edge, 36 pixels high at y 12: its
# titles File, Edit, Tools and Help start 40 pixels after its left end
# (the right edge of the window less 540), the buttons follow.
bar=$((1280 - 540))
title_y=30
file_x=$((bar + 63)) edit_x=$((bar + 110)) tools_x=$((bar + 162)) help_x=$((bar + 215))
zoom_x=$((bar + 390)) zoom_y=30
pan_x=$((bar + 480)) window_x=$((bar + 512)) button_y=30
# The rows of a menu: 26 pixels each from the bar's bottom (y 48), a
# separator 9 pixels high. A row's tick (12 x 12, centred in the row, 10
# pixels inside the menu) has its corner 5 pixels right and 9 down.
row_y() { echo $((48 + 26 * $1 + 13 + ${2:-0} * 9)); }
tick_x() { echo $(($1 + 15)); }
tick_y() { echo $((48 + 26 * $1 + ${2:-0} * 9 + 7 + 9)); }
# A click counts where the pointer is when the program takes the release,
# so after a click the pointer stays put until what the click does shows
# (the shots taken meanwhile leave it there).
click() { timeout 60 xdotool mousemove --sync "$1" "$2" click 1 || fail "waited 60 s to click at ($1, $2)"; }
# The left edges of the menus.
file_left=$((bar + 42)) edit_left=$((bar + 86)) tools_left=$((bar + 134)) help_left=$((bar + 191))
# Whether the menu whose left edge is at x $2 is drawn open in shot $1: its
# dark glass at the left margin and its first row's bright words (on the
# light canvas the margin is not dark, on the dark backdrop nothing is
# bright).
menu_open() {
  is_dark "$1" $(($2 + 5)) 55 &&
    [ "$(convert "$shots/$1.png" -crop "60x14+$(($2 + 10))+54" +repage -colorspace gray \
      -format '%[fx:maxima > 0.6]' info:)" = 1 ]
}
menu_closed() { ! menu_open "$@"; }
# Opens the menu of the title at x $1, its left edge at $2; $3 names the
# shot.
open_menu() {
  click "$1" "$title_y"
  await "the menu under the title at x $1 (see $shots/$3.png)" settled_here "$3" menu_open "$3" "$2"
}
# In the open menu whose left edge is at $1, clicks row $2 (after $3
# separators).
choose_row() { click $(($1 + 30)) "$(row_y "$2" "$3")"; }
# Whether shot $1 differs from shot $2.
changed_from() { ! same_as "$1" "$2"; }
# Whether the stand-in file dialog has taken every answer written for it.
answers_taken() { [ ! -s "$work/answers" ]; }

# File: its menu under its title.
click "$file_x" "$title_y"
file_menu() {
  # The glass under the title and on the Quit row below the separator, the
  # canvas below the menu, and a shortcut in the right-hand column
  # ("Ctrl+N" ends 10 pixels inside the menu's right edge, 204 pixels from
  # its left): text as bright as the secondary colour on the glass.
  is_dark "$1" $((bar + 45)) 55 && is_dark "$1" $((bar + 45)) "$(row_y 8 1)" &&
    is_light "$1" $((bar + 45)) 330 &&
    [ "$(convert "$shots/$1.png" -crop "50x14+$((bar + 185))+54" +repage -colorspace gray \
      -format '%[fx:maxima > 0.45]' info:)" = 1 ]
}
await "the File menu under its title (see $shots/menu-file.png)" settled_here menu-file file_menu menu-file
xdotool key Escape
await "Escape to close the menu and leave the screen as before (see $shots/menu-file-closed.png)" \
  settled menu-file-closed same_as menu-file-closed menu-start
kill -0 "$pid" || fail "the program ended on Escape"

# Tools ▸ Chalk (row 3): the menu closes and the brush picker shows chalk,
# the screen the next steps come back to; Tools again shows the ochre tick
# on Chalk.
open_menu "$tools_x" "$tools_left" menu-tools
choose_row "$tools_left" 3 0
chalk_shown() { menu_closed "$1" "$tools_left" && ! same_as "$1" menu-start && canvas_shown "$1"; }
await "Chalk to close the menu, the screen with chalk chosen (see $shots/menu-chalk.png)" \
  settled_here menu-chalk chalk_shown menu-chalk
click "$tools_x" "$title_y"
chalk_ticked() {
  is_ochre "$1" "$(tick_x $tools_left)" "$(tick_y 3)" && ! is_ochre "$1" "$(tick_x $tools_left)" "$(tick_y 0)"
}
await "the ochre tick on Chalk (see $shots/menu-tools-chalk.png)" \
  settled_here menu-tools-chalk chalk_ticked menu-tools-chalk
xdotool key Escape
await "Escape to close the Tools menu and leave the screen with chalk (see $shots/menu-tools-closed.png)" \
  settled menu-tools-closed same_as menu-tools-closed menu-chalk

# Edit ▸ Interface Sounds (row 3, after the separator), and Edit again
# shows it unticked.
click "$edit_x" "$title_y"
sounds_ticked() { menu_open "$1" "$edit_left" && is_ochre "$1" "$(tick_x $edit_left)" "$(tick_y 3 1)"; }
await "the sounds ticked in the Edit menu (see $shots/menu-edit.png)" \
  settled_here menu-edit sounds_ticked menu-edit
choose_row "$edit_left" 3 1
await "Interface Sounds to close the Edit menu (see $shots/menu-edit-chosen.png)" \
  settled_here menu-edit-chosen menu_closed menu-edit-chosen "$edit_left"
click "$edit_x" "$title_y"
sounds_unticked() { is_dark "$1" $((bar + 240)) 75 && ! is_ochre "$1" "$(tick_x $edit_left)" "$(tick_y 3 1)"; }
await "the sounds unticked (see $shots/menu-edit-off.png)" \
  settled_here menu-edit-off sounds_unticked menu-edit-off
xdotool key Escape
await "the screen as before (see $shots/menu-edit-closed.png)" \
  settled menu-edit-closed same_as menu-edit-closed menu-chalk

# Help ▸ About: the box over the blurred window.
open_menu "$help_x" "$help_left" menu-help
choose_row "$help_left" 1 0
about_shown() {
  local before after
  # Below the box: the blur runs down the columns.
  before=$(spread menu-chalk 1280x300+0+700)
  after=$(spread "$1" 1280x300+0+700)
  awk -v a="$after" -v b="$before" 'BEGIN { exit !(a * 2 < b) }'
}
await "the about box over the blurred window (see $shots/menu-about.png)" \
  settled_here menu-about about_shown menu-about
xdotool key x
await "a key to close the about box (see $shots/menu-about-closed.png)" \
  settled menu-about-closed same_as menu-about-closed menu-chalk

# File ▸ Import: a 640 x 480 picture, dark left half, light right half.
convert -size 320x480 xc:'#202020' -size 320x480 xc:'#E0E0E0' +append "$work/halves.png" ||
  fail "cannot make the picture to import"
echo "$work/halves.png" >>"$work/answers"
open_menu "$file_x" "$file_left" menu-import-menu
choose_row "$file_left" 4 0
await "Import Picture to ask the file dialog for the picture" answers_taken
imported() {
  is_dark "$1" 319 271 && is_dark "$1" 400 400 && is_light "$1" 800 400 && is_light "$1" 959 751 &&
    is_dark "$1" 960 751 && is_dark "$1" 959 752
}
await "a 640 x 480 canvas with both halves (see $shots/menu-imported.png)" \
  settled menu-imported imported menu-imported
canvas_w=640 canvas_h=480

# File ▸ Export to out.png.
echo "$work/out.png" >>"$work/answers"
open_menu "$file_x" "$file_left" menu-export-menu
choose_row "$file_left" 5 0
exported() {
  await_said="it is: $(identify -format '%w x %h' "$work/out.png" 2>&1)"
  [ "$(identify -format '%w %h' "$work/out.png" 2>/dev/null)" = "$canvas_w $canvas_h" ]
}
await "out.png of $canvas_w x $canvas_h" exported

# The zoom typed in place: a click on the value opens its field (an ochre
# rim) for typing, 150 and Return.
zoom_field() { is_ochre "$1" "$zoom_x" 18; }
click "$zoom_x" "$zoom_y"
await "the zoom field open for typing (see $shots/menu-zoom-field.png)" \
  settled_here menu-zoom-field zoom_field menu-zoom-field
xdotool type --delay 50 150
xdotool key Return
# 960 x 720 about the centre, (160, 152) to (1120, 872): the light half's
# edges on the backdrop, the halves meeting at the middle.
zoomed() {
  is_light "$1" 1117 512 && is_dark "$1" 1122 512 && is_light "$1" 900 155 && is_dark "$1" 900 149 &&
    is_light "$1" 900 869 && is_dark "$1" 900 875 && is_dark "$1" 636 512 && is_light "$1" 644 512
}
await "the canvas 1.5 times as large (see $shots/menu-zoomed.png)" settled menu-zoomed zoomed menu-zoomed
click "$zoom_x" "$zoom_y"
await "the zoom field open again (see $shots/menu-zoom-field-2.png)" \
  settled_here menu-zoom-field-2 zoom_field menu-zoom-field-2
xdotool type --delay 50 100
xdotool key Return
await "the canvas at 100% again (see $shots/menu-unzoomed.png)" \
  settled menu-unzoomed same_as menu-unzoomed menu-imported

# The pan button: the overlay with its ochre Done button; a drag moves the
# canvas by the drag.
click "$pan_x" "$button_y"
done_shown() { is_ochre "$1" 640 88; }
done_hidden() { ! done_shown "$1"; }
panning() { ! same_as "$1" menu-unzoomed && is_dark "$1" 20 20 && done_shown "$1"; }
await "the pan controls (see $shots/menu-pan.png)" settled_here menu-pan panning menu-pan
# The drag is measured from where the pointer is when the program takes
# the press, which hides the controls while the canvas follows the pointer:
# the pointer stays until they are hidden. It is let go once the canvas
# shows the whole drag, and stays until the release brings them back.
timeout 60 xdotool mousemove --sync 600 600 mousedown 1 || fail "waited 60 s to press at (600, 600)"
await "the press to hide the pan controls (see $shots/menu-pan-held.png)" \
  settled_here menu-pan-held done_hidden menu-pan-held
drag=()
for ((i = 1; i <= 20; i++)); do
  drag+=(mousemove --sync $((600 + 5 * i)) $((600 + 3 * i)) sleep 0.02)
done
timeout 60 xdotool "${drag[@]}" || fail "waited 60 s to drag"
panned() { is_dark "$1" 419 331 && is_light "$1" 1059 811 && is_dark "$1" 1060 811; }
await "the canvas moved by the drag, the button still held (see $shots/menu-pan-dragged.png)" \
  settled_here menu-pan-dragged panned menu-pan-dragged
timeout 60 xdotool mouseup 1 || fail "waited 60 s to let go of the button"
released() { panned "$1" && done_shown "$1"; }
await "the release to bring back the pan controls, the canvas where the drag left it (see $shots/menu-panned.png)" \
  settled_here menu-panned released menu-panned
xdotool key x
await "a key to close the pan controls (see $shots/menu-pan-closed.png)" \
  settled menu-pan-closed panned menu-pan-closed

# The window button: a 1024 x 768 window centred on the screen, its bar
# drawn at the window's top right (the Help title's words at 200 pixels
# into the bar, its glass right of them); and back, the bar as before.
bar_at() {
  is_dark "$1" $(($2 + 240)) $(($3 + 5)) &&
    [ "$(convert "$shots/$1.png" -crop "30x14+$(($2 + 200))+$(($3 + 11))" +repage -colorspace gray \
      -format '%[fx:maxima > 0.6]' info:)" = 1 ]
}
click "$window_x" "$button_y"
await "a 1024 x 768 window" has_geometry "$wid" "128,128 1024x768"
await "the bar drawn in the window (see $shots/menu-window.png)" \
  settled menu-window bar_at menu-window $((128 + 1024 - 540)) $((128 + 12))
click $((128 + 1024 - 540 + 512)) $((128 + button_y))
await "the whole screen again" has_geometry "$wid" "0,0 1280x1024"
bar_as_before() { [ "$(differing "$1" menu-pan-closed 540x36+"$bar"+12)" = 0 ]; }
await "the bar drawn as before (see $shots/menu-full-again.png)" \
  settled menu-full-again bar_as_before menu-full-again
timeout 60 xdotool windowfocus --sync "$wid" || fail "waited 60 s for the window to take the focus"

# File ▸ Save As into a folder that does not exist: one alert.
echo "$work/missing/Harbour.ptg" >>"$work/answers"
open_menu "$file_x" "$file_left" menu-save-menu
choose_row "$file_left" 3 0
no_alert() { ! any_alert; }
await "an alert for the save into a missing folder" any_alert
await "the alert drawn (see $shots/menu-save-alert.png)" settled menu-save-alert alert_drawn menu-save-alert
timeout 60 xdotool windowfocus --sync "$alert" || fail "waited 60 s for the alert to take the focus"
xdotool key Return
await "Return to dismiss the alert" no_alert
errors=$(grep -c '^Error\.' "$work/stderr")
[ "$errors" = 1 ] || fail "$errors alerts saying \"Error.\", not one: $(cat "$work/stderr")"
[ ! -e "$work/missing" ] || fail "the missing folder was made"

# A stroke, then Ctrl+Q: the save prompt; n quits with status 0.
timeout 60 xdotool windowfocus --sync "$wid" || fail "waited 60 s for the window to take the focus"
await "the window after the alert (see $shots/menu-before-stroke.png)" \
  settled menu-before-stroke panned menu-before-stroke
timeout 60 xdotool mousemove --sync 500 500 mousedown 1 mousemove --sync 560 540 \
  mousemove --sync 620 580 sleep 0.1 mouseup 1 || fail "waited 60 s to paint"
await "the stroke on the canvas (see $shots/menu-stroke.png)" \
  settled menu-stroke changed_from menu-stroke menu-before-stroke
xdotool key ctrl+q
# The prompt's Save face (ochre) at (724, 540) to (836, 572).
prompt_shown() { is_ochre "$1" 740 556; }
await "the save prompt (see $shots/menu-prompt.png)" settled menu-prompt prompt_shown menu-prompt
xdotool key n
ended "$pid" "n to end the program"
pids=() pid=""
[ "$status" -eq 0 ] || fail "the program ended with status $status: $(cat "$work/stderr")"
echo "menu smoke: passed"
