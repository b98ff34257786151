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
await 30 "a visible window titled Daublin" find_window '^Daublin$'
wid=$found
expect_geometry "$wid" 0 0 1280 1024
timeout 5 xdotool windowfocus --sync "$wid" || fail "waited 5 s for the window to take the focus"

canvas_shown() {
  is_light "$1" 64 51 && is_light "$1" 1215 972 && is_dark "$1" 63 51 && is_dark "$1" 1216 972
}
await 30 "the canvas on the dark backdrop (see $shots/menu-start.png)" \
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
click() { timeout 5 xdotool mousemove --sync "$1" "$2" click 1 || fail "waited 5 s to click at ($1, $2)"; }

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
await 30 "the File menu under its title (see $shots/menu-file.png)" settled menu-file file_menu menu-file
xdotool key Escape
await 30 "Escape to close the menu and leave the screen as before (see $shots/menu-file-closed.png)" \
  settled menu-file-closed same_as menu-file-closed menu-start
kill -0 "$pid" || fail "the program ended on Escape"

# Tools ▸ Chalk (row 3), and Tools again shows its ochre tick.
click "$tools_x" "$title_y"
await 30 "the Tools menu (see $shots/menu-tools.png)" settled menu-tools is_dark menu-tools $((bar + 160)) 60
click $((bar + 180)) "$(row_y 3)"
sleep 0.5
click "$tools_x" "$title_y"
tools_left=$((bar + 134))
chalk_ticked() {
  is_ochre "$1" "$(tick_x $tools_left)" "$(tick_y 3)" && ! is_ochre "$1" "$(tick_x $tools_left)" "$(tick_y 0)"
}
await 30 "the ochre tick on Chalk (see $shots/menu-tools-chalk.png)" \
  settled menu-tools-chalk chalk_ticked menu-tools-chalk
xdotool key Escape
# The brush picker now shows chalk: the screen the next steps come back to.
chalk_shown() { ! same_as "$1" menu-start && canvas_shown "$1"; }
await 30 "the screen with chalk chosen (see $shots/menu-chalk.png)" settled menu-chalk chalk_shown menu-chalk

# Edit ▸ Interface Sounds (row 3, after the separator), and Edit again
# shows it unticked.
click "$edit_x" "$title_y"
edit_left=$((bar + 86))
sounds_ticked() { is_ochre "$1" "$(tick_x $edit_left)" "$(tick_y 3 1)"; }
await 30 "the sounds ticked in the Edit menu (see $shots/menu-edit.png)" \
  settled menu-edit sounds_ticked menu-edit
click $((bar + 150)) "$(row_y 3 1)"
sleep 0.5
click "$edit_x" "$title_y"
sounds_unticked() { is_dark "$1" $((bar + 240)) 75 && ! is_ochre "$1" "$(tick_x $edit_left)" "$(tick_y 3 1)"; }
await 30 "the sounds unticked (see $shots/menu-edit-off.png)" \
  settled menu-edit-off sounds_unticked menu-edit-off
xdotool key Escape
await 30 "the screen as before (see $shots/menu-edit-closed.png)" \
  settled menu-edit-closed same_as menu-edit-closed menu-chalk

# Help ▸ About: the box over the blurred window.
click "$help_x" "$title_y"
click $((bar + 220)) "$(row_y 1)"
about_shown() {
  local before after
  # Below the box: the blur runs down the columns.
  before=$(spread menu-chalk 1280x300+0+700)
  after=$(spread "$1" 1280x300+0+700)
  awk -v a="$after" -v b="$before" 'BEGIN { exit !(a * 2 < b) }'
}
await 30 "the about box over the blurred window (see $shots/menu-about.png)" \
  settled menu-about about_shown menu-about
xdotool key x
await 30 "a key to close the about box (see $shots/menu-about-closed.png)" \
  settled menu-about-closed same_as menu-about-closed menu-chalk

# File ▸ Import: a 640 x 480 picture, dark left half, light right half.
convert -size 320x480 xc:'#202020' -size 320x480 xc:'#E0E0E0' +append "$work/halves.png" ||
  fail "cannot make the picture to import"
echo "$work/halves.png" >>"$work/answers"
click "$file_x" "$title_y"
click $((bar + 90)) "$(row_y 4)"
imported() {
  is_dark "$1" 319 271 && is_dark "$1" 400 400 && is_light "$1" 800 400 && is_light "$1" 959 751 &&
    is_dark "$1" 960 751 && is_dark "$1" 959 752
}
await 30 "a 640 x 480 canvas with both halves (see $shots/menu-imported.png)" \
  settled menu-imported imported menu-imported
canvas_w=640 canvas_h=480

# File ▸ Export to out.png.
echo "$work/out.png" >>"$work/answers"
click "$file_x" "$title_y"
click $((bar + 90)) "$(row_y 5)"
exported() { [ "$(identify -format '%w %h' "$work/out.png" 2>/dev/null)" = "$canvas_w $canvas_h" ]; }
await 30 "out.png of $canvas_w x $canvas_h (it is: $(identify -format '%w %h' "$work/out.png" 2>&1))" exported

# The zoom typed in place: 150 and Return.
click "$zoom_x" "$zoom_y"
sleep 0.3
xdotool type --delay 50 150
xdotool key Return
# 960 x 720 about the centre, (160, 152) to (1120, 872): the light half's
# edges on the backdrop, the halves meeting at the middle.
zoomed() {
  is_light "$1" 1117 512 && is_dark "$1" 1122 512 && is_light "$1" 900 155 && is_dark "$1" 900 149 &&
    is_light "$1" 900 869 && is_dark "$1" 900 875 && is_dark "$1" 636 512 && is_light "$1" 644 512
}
await 30 "the canvas 1.5 times as large (see $shots/menu-zoomed.png)" settled menu-zoomed zoomed menu-zoomed
click "$zoom_x" "$zoom_y"
sleep 0.3
xdotool type --delay 50 100
xdotool key Return
await 30 "the canvas at 100% again (see $shots/menu-unzoomed.png)" \
  settled menu-unzoomed same_as menu-unzoomed menu-imported

# The pan button: the overlay, a drag moves the canvas by the drag.
click "$pan_x" "$button_y"
panning() { ! same_as "$1" menu-unzoomed && is_dark "$1" 20 20; }
await 30 "the pan controls (see $shots/menu-pan.png)" settled menu-pan panning menu-pan
# The drag is measured from where the press is taken: a slow build may take
# it a while after the button went down, so the pointer waits there first.
drag=(mousemove --sync 600 600 mousedown 1 sleep 1)
for ((i = 1; i <= 20; i++)); do
  drag+=(mousemove --sync $((600 + 5 * i)) $((600 + 3 * i)) sleep 0.02)
done
drag+=(sleep 0.1 mouseup 1)
timeout 10 xdotool "${drag[@]}" || fail "waited 10 s to drag"
panned() { is_dark "$1" 419 331 && is_light "$1" 1059 811 && is_dark "$1" 1060 811; }
await 30 "the canvas moved by the drag (see $shots/menu-panned.png)" settled menu-panned panned menu-panned
xdotool key x
await 30 "a key to close the pan controls (see $shots/menu-pan-closed.png)" \
  settled menu-pan-closed panned menu-pan-closed

# The window button: a 1024 x 768 window centred on the screen, and back.
click "$window_x" "$button_y"
await 30 "a 1024 x 768 window" has_geometry "$wid" "128,128 1024x768"
sleep 0.5
click $((128 + 1024 - 540 + 512)) $((128 + button_y))
await 30 "the whole screen again" has_geometry "$wid" "0,0 1280x1024"
timeout 5 xdotool windowfocus --sync "$wid" || fail "waited 5 s for the window to take the focus"

# File ▸ Save As into a folder that does not exist: one alert.
echo "$work/missing/Harbour.ptg" >>"$work/answers"
click "$file_x" "$title_y"
click $((bar + 90)) "$(row_y 3)"
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
await 30 "an alert for the save into a missing folder" any_alert
shoot menu-save-alert
timeout 5 xdotool windowfocus --sync "$alert" 2>/dev/null
xdotool key Return
gone() { ! any_alert; }
await 30 "Return to dismiss the alert" gone
errors=$(grep -c '^Error\.' "$work/stderr")
[ "$errors" = 1 ] || fail "$errors alerts saying \"Error.\", not one: $(cat "$work/stderr")"
[ ! -e "$work/missing" ] || fail "the missing folder was made"

# A stroke, then Ctrl+Q: the save prompt; n quits with status 0.
timeout 5 xdotool windowfocus --sync "$wid" || fail "waited 5 s for the window to take the focus"
timeout 10 xdotool mousemove --sync 500 500 mousedown 1 mousemove --sync 560 540 \
  mousemove --sync 620 580 sleep 0.1 mouseup 1 || fail "waited 10 s to paint"
sleep 0.5
xdotool key ctrl+q
# The prompt's Save face (ochre) at (724, 540) to (836, 572).
prompt_shown() { is_ochre "$1" 740 556; }
await 30 "the save prompt (see $shots/menu-prompt.png)" settled menu-prompt prompt_shown menu-prompt
xdotool key n
wait_exit "$pid" 100
status=$?
[ "$status" -ne 124 ] || fail "waited 10 s for n to end the program"
[ "$status" -eq 0 ] || fail "the program ended with status $status: $(cat "$work/stderr")"
echo "menu smoke: passed"
