#!/usr/bin/env bash
# Runs the real program on a virtual X display (1280 x 1024) and drives it
# with xdotool: the window "Daublin" fills the screen with the new painting
# centred (1152 x 922 at (64, 51), light on the dark backdrop); a drag across
# it with the start-up tool paints at both ends and nowhere outside a band
# around the drag; z brings back the screen of before the stroke exactly, y
# the stroke; F8 shows the canvas at scale 2 with no stroke needed to show
# it, F7 the screen of before; s saves through the file
# dialog (a stand-in zenity that answers a file name after taking the
# keyboard focus, as a dialog window does) and the next key, z, is the
# window's again; the minus key makes a centred window of 1024 x 768 with
# the canvas still centred, the plus key the screen of before exactly;
# Escape does nothing; Ctrl+Q raises the save prompt (dark glass over the
# canvas, the Save face ochre, Cancel lit under the pointer), which Escape
# closes leaving the screen as it was; SIGTERM twice raises one prompt; a
# click outside closes it and a stroke still paints; Ctrl+Q and Don't Save
# end the program with status 0. A second run saves on Ctrl+Q and y
# through the stand-in dialog, writes a valid painting and ends with 0. A
# start file that does not exist is named in an alert, a new painting
# follows and Ctrl+Q ends it with status 0. A start with a damaged resource
# file shows its alert, which Return dismisses, and ends with a non-zero
# status and no process left behind. The screenshots (ImageMagick's import)
# are kept in <shots folder>/main; the preferences folder is a temporary one.
#
# It takes the whole display, so it runs only on a display of its own, the
# one testsupport/x11-run.sh starts (CTest's daublin_smoke does):
#   bash testsupport/x11-run.sh 1280x1024x24 bash platform/tests/smoke.sh build/release/bin/daublin /tmp/shots
# Every wait is bounded and names what it waited for when it fails.
# Usage: smoke.sh <path of the daublin program> <shots folder> [<path of ptgtool>]
set -u
[ -n "${DAUBLIN_SMOKE_TRACE:-}" ] && set -x

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# await, ended, gone, has_geometry, expect_geometry, find_window.
source "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/x11-helpers.sh"

[ $# -eq 2 ] || [ $# -eq 3 ] ||
  fail "usage: smoke.sh <path of the daublin program> <shots folder> [<path of ptgtool>]"
ptgtool=${3:-}
# Its shots have names of no prefix, so they go in a folder of their own:
# clearing it never takes a shot another run is reading.
x11_program_setup "$1" "$2/main" '*.png'
no_first_run

# Sets $found to the first visible top-level window named by the regular
# expression $1.

# The alert of process $1 (any_alert), failing at once when the process
# ended without one.
find_alert() {
  kill -0 "$1" 2>/dev/null ||
    fail "the program ended without showing an alert; it wrote: $(cat "$work/stderr")"
  any_alert
}
# Presses Return on the alert while it shows, giving it the keyboard focus
# first: without a window manager the focus follows the pointer unless a
# window is given it. A box mapped a moment ago may not take keys yet and
# drops an early Return, so the press is made again on each look for as
# long as the alert shows; it succeeds once the alert has gone.
return_on_alert() {
  is_visible "$alert" || return 0
  await_said="the alert still shows"
  xdotool windowfocus "$alert" key Return 2>/dev/null
  return 1
}

source "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/x11-shots.sh"

eval "$(xdotool getdisplaygeometry --shell)"
[ "${WIDTH}x$HEIGHT" = 1280x1024 ] || fail "the display is ${WIDTH}x$HEIGHT, not 1280x1024"

# A stand-in for zenity, first on the program's PATH: a file dialog takes
# the keyboard focus away (to the root window, where a dialog window's
# focus goes when it closes) and answers $2; anything else goes to the
# real zenity. It is written into folder $1.
real_zenity=$(command -v zenity) || fail "no zenity on PATH"
dialog_stub() {
  mkdir -p "$1"
  cat >"$1/zenity" <<STUB
#!/bin/sh
case "\$*" in
*--file-selection*)
  xdotool windowfocus --sync "\$(xdotool search --maxdepth 0 --name '' | head -1)"
  echo "$2"
  ;;
*) exec "$real_zenity" "\$@" ;;
esac
STUB
  chmod +x "$1/zenity"
}
dialog_stub "$work/bin" "$work/saved.ptg"

# 1. A normal run.
PATH="$work/bin:$PATH" "$program" 2>"$work/stderr" &
pid=$!
pids+=("$pid")
await "a visible window titled Daublin" find_window '^Daublin$'
wid=$found
expect_geometry "$wid" 0 0 1280 1024
timeout 60 xdotool windowfocus --sync "$wid" || fail "waited 60 s for the window to take the focus"

# The new painting, 90 % of the screen, centred: light from (64, 51) to
# (1215, 972) and the dark backdrop around it.
canvas_shown() {
  local shot=${1:-start}
  is_light "$shot" 64 51 && is_light "$shot" 1215 972 && is_light "$shot" 640 512 &&
    is_dark "$shot" 63 51 && is_dark "$shot" 64 50 && is_dark "$shot" 1216 972 &&
    is_dark "$shot" 1215 973 && is_dark "$shot" 20 20
}
await "the canvas 1152 x 922 at (64, 51) on the dark backdrop (see $shots/start.png)" \
  settled start canvas_shown

# A drag across the canvas in small steps, each waited for; the start-up
# tool (oil paint) paints it.
from_x=300 from_y=300 to_x=900 to_y=600
drag=(mousemove --sync "$from_x" "$from_y" mousedown 1 sleep 0.05)
for ((i = 1; i <= 150; i++)); do
  drag+=(mousemove --sync $((from_x + (to_x - from_x) * i / 150)) $((from_y + (to_y - from_y) * i / 150)) sleep 0.01)
done
drag+=(sleep 0.05 mouseup 1)
timeout 60 xdotool "${drag[@]}" || fail "waited 60 s for xdotool to drag across the canvas"

# What the stroke changed: white where shots $1 and $2 differ.
change_mask() {
  convert "$shots/$1.png" "$shots/$2.png" -compose difference -composite \
    -threshold 0 -colorspace gray -threshold 0 "$shots/$3.png"
}
# Whether mask $1 holds a changed pixel within $4 pixels of ($2, $3).
changed_near() {
  [ "$(convert "$shots/$1.png" -crop "$(($4 * 2 + 1))x$(($4 * 2 + 1))+$(($2 - $4))+$(($3 - $4))" \
    +repage -format '%[max]' info:)" != 0 ]
}
# The stroke's tail tapers off to nothing a little short of the release.
tail=12
stroke_shown() {
  change_mask start stroke stroke-change && changed_near stroke-change "$from_x" "$from_y" 3 &&
    changed_near stroke-change "$to_x" "$to_y" "$tail"
}
await "paint at both ends of the drag (see $shots/stroke.png)" settled stroke stroke_shown
# Nothing changed outside a band of the brush's half-width around the drag:
# the start-up brush is about 40 pixels wide, and the light on its relief
# reaches a pixel or two beyond.
band=22
outside=$(convert "$shots/stroke-change.png" -fill black -stroke black -strokewidth $((band * 2)) \
  -draw "line $from_x,$from_y $to_x,$to_y" \
  -draw "circle $from_x,$from_y $((from_x + band)),$from_y" \
  -draw "circle $to_x,$to_y $((to_x + band)),$to_y" -format '%[fx:mean*w*h]' info:)
[ "$outside" = 0 ] ||
  fail "the stroke changed $outside pixels farther than $band from the drag (see $shots/stroke-change.png)"

# z brings back the screen of before the stroke exactly, y the stroke.
xdotool key z
await "z to bring back the screen of before the stroke (see $shots/undone.png)" \
  settled undone same_as undone start
xdotool key y
await "y to paint the stroke again (see $shots/redone.png)" settled redone same_as redone stroke

# F8 shows the canvas at scale 2 at once, about the screen's centre: the
# canvas covers the whole screen (below the name bar's rows, so (20, 60) is
# on it) and the stroke's point (450, 375) is now at
# (260, 238). F7 brings back the screen of before exactly.
zoomed_in() {
  if ! is_light "$1" 20 60 || ! is_light "$1" 1270 1010; then
    await_said="the canvas at scale 2 does not cover the screen"
    return 1
  fi
  if [ "$(pixel "$1" 260 238)" != "$(pixel redone 450 375)" ] || is_light "$1" 260 238; then
    await_said="the stroke is not at its place at scale 2"
    return 1
  fi
}
xdotool key F8
await "F8 to show the canvas at scale 2 with the stroke at (260, 238) (see $shots/zoomed.png)" \
  settled zoomed zoomed_in zoomed
xdotool key F7
await "F7 to bring back the screen at scale 1 (see $shots/unzoomed.png)" \
  settled unzoomed same_as unzoomed redone

# s saves through the dialog program; the stand-in takes the keyboard focus
# away as a dialog window does, and answers. The window takes the focus back,
# so the next key, z, undoes.
saved="$work/saved.ptg"
timeout 60 xdotool key s || fail "waited 60 s for xdotool to press s"
await "s to save the painting as $saved" test -s "$saved"
xdotool key z
await "z after the save dialog to undo the stroke (see $shots/undone-after-save.png)" \
  settled undone-after-save same_as undone-after-save start
xdotool key y
await "y to paint the stroke again (see $shots/redone-after-save.png)" \
  settled redone-after-save same_as redone-after-save redone

# The minus key: a centred window of 1024 x 768, the canvas still centred
# in it (the same canvas pixel under the window's centre as under the
# screen's), so the window shows what the screen showed there; the plus key
# the screen of before exactly.
xdotool key minus
expect_geometry "$wid" 128 128 1024 768
# The name bar hangs in the window's top 48 rows, and the brush picker rides
# with the window at its left edge: the comparison starts below and right of
# them. The colour picker and the clean-brush panel ride with its right edge
# (from x 852 and 962 on the screen): the comparison ends left of them. The
# tracing-paper picker's strip rides with its bottom edge (from y 874 on the
# screen): the comparison ends above it.
centred() { [ "$(differing window stroke 540x698+300+176)" = 0 ]; }
await "the canvas centred in the 1024 x 768 window (see $shots/window.png)" \
  settled window centred
xdotool key plus
expect_geometry "$wid" 0 0 1280 1024
await "the plus key to bring back the screen of before (see $shots/full-again.png)" \
  settled full-again same_as full-again redone
# Escape is taken by the program and does nothing: it neither quits nor
# changes the screen. Nothing shows that it has been handled, so F8 follows
# it: keys are taken in order, so once the canvas shows at scale 2 Escape
# has been taken too, and F7 brings back the screen to compare.
zoomed_or_gone() { gone "$pid" || settled escape-zoomed zoomed_in escape-zoomed; }
xdotool key Escape F8
await "F8 after Escape to show the canvas at scale 2 (see $shots/escape-zoomed.png)" zoomed_or_gone
gone "$pid" && fail "Escape ended the program"
xdotool key F7
await "Escape to leave the screen as it was (see $shots/after-escape.png)" \
  settled after-escape same_as after-escape redone

# Ctrl+Q on the modified painting raises the save prompt, a dark glass box
# of 440 x 168 centred on the screen (420..859, 428..595): its middle is
# dark over the light canvas, the Save face (724..835, 540..571) ochre.
prompt_shown_in() {
  local r g b
  is_dark "$1" 640 515 || return 1
  read -r r g b < <(pixel "$1" 740 548)
  [ "$r" -gt 200 ] && [ "$g" -gt 130 ] && [ "$g" -lt 180 ] && [ "$b" -lt 100 ]
}
prompt_shown() { prompt_shown_in prompt; }
# The pixels of a shot's area (WxH+X+Y) in the warning red of the "Don't
# Save" label.
red_pixels() {
  convert "$shots/$1.png" -crop "$2" +repage \
    -fx '(r>0.6 && g<0.5 && b<0.45) ? 1 : 0' -format '%[fx:round(mean*w*h)]' info:
}
xdotool key ctrl+q
await "Ctrl+Q to raise the save prompt (see $shots/prompt.png)" settled prompt prompt_shown
kill -0 "$pid" 2>/dev/null || fail "Ctrl+Q ended the program without asking"
# The "Don't Save" label on its face (444..555) is red.
[ "$(red_pixels prompt 112x32+444+540)" -ge 20 ] ||
  fail "the Don't Save label shows no red pixels (see $shots/prompt.png)"
# The pointer left on Cancel (600..711) lights its face; this shot keeps the
# pointer where it is.
timeout 60 xdotool mousemove --sync 656 556 || fail "waited 60 s to move onto Cancel"
hover_lighter() {
  local r0 g0 b0 r1 g1 b1
  read -r r0 g0 b0 < <(pixel prompt 610 548)
  read -r r1 g1 b1 < <(pixel prompt-hover 610 548)
  await_said="the Cancel face is $r1 $g1 $b1, $r0 $g0 $b0 without the pointer"
  [ "$r1" -gt "$r0" ] && [ "$g1" -gt "$g0" ] && [ "$b1" -gt "$b0" ]
}
await "the Cancel face to be lighter under the pointer (see $shots/prompt-hover.png)" \
  settled_here prompt-hover hover_lighter
# Escape closes it without a choice: the screen of before, the program on.
xdotool key Escape
await "Escape to close the prompt (see $shots/prompt-escaped.png)" \
  settled prompt-escaped same_as prompt-escaped redone
kill -0 "$pid" 2>/dev/null || fail "Escape on the prompt ended the program"
# SIGTERM twice: one prompt, the same picture as Ctrl+Q's.
kill -TERM "$pid"
kill -TERM "$pid"
await "SIGTERM twice to raise one prompt (see $shots/prompt-term.png)" \
  settled prompt-term same_as prompt-term prompt
# A press outside the box closes it; a stroke painted next changes the
# canvas.
timeout 60 xdotool mousemove --sync 200 200 click 1 || fail "waited 60 s to click outside the prompt"
await "a click outside to close the prompt (see $shots/prompt-outside.png)" \
  settled prompt-outside same_as prompt-outside redone
timeout 60 xdotool mousemove --sync 200 750 mousedown 1 sleep 0.05 \
  mousemove --sync 250 770 sleep 0.02 mousemove --sync 300 790 sleep 0.02 \
  mousemove --sync 350 810 sleep 0.05 mouseup 1 || fail "waited 60 s to paint after the prompt"
painted_after() { [ "$(differing after-prompt redone 300x120+150+700)" != 0 ]; }
await "a stroke after the prompt to change the canvas (see $shots/after-prompt.png)" \
  settled after-prompt painted_after
# Ctrl+Q, then Don't Save (444..555): the program ends with status 0.
xdotool key ctrl+q
await "Ctrl+Q to raise the prompt again (see $shots/prompt-again.png)" \
  settled prompt-again prompt_shown_in prompt-again
timeout 60 xdotool mousemove --sync 500 556 click 1 || fail "waited 60 s to click Don't Save"
ended "$pid" "Don't Save to end the program"
[ "$status" -eq 0 ] || fail "Don't Save ended the program with status $status"

# A second run: a stroke, Ctrl+Q and y save through the dialog program (the
# stand-in answers $work/saved.ptg), and the program ends with status 0.
rm -f "$saved"
PATH="$work/bin:$PATH" "$program" 2>"$work/stderr" &
pid=$!
pids+=("$pid")
await "a visible window titled Daublin for the saving run" find_window '^Daublin$'
wid=$found
timeout 60 xdotool windowfocus --sync "$wid" || fail "waited 60 s for the window to take the focus"
await "the canvas of the saving run (see $shots/save-start.png)" \
  settled save-start canvas_shown save-start
timeout 60 xdotool mousemove --sync 400 400 mousedown 1 sleep 0.05 \
  mousemove --sync 450 420 sleep 0.02 mousemove --sync 500 440 sleep 0.05 mouseup 1 ||
  fail "waited 60 s to paint in the saving run"
await "the stroke of the saving run" settled save-stroke \
  eval '[ "$(differing save-stroke save-start)" != 0 ]'
xdotool key ctrl+q
await "Ctrl+Q to raise the prompt in the saving run" settled save-prompt prompt_shown_in save-prompt
xdotool key y
ended "$pid" "y to save and end the program"
[ "$status" -eq 0 ] || fail "y ended the program with status $status"
[ -s "$saved" ] || fail "y wrote no painting at $saved"
if [ -n "$ptgtool" ]; then
  "$ptgtool" validate "$saved" >"$work/validate.log" 2>&1 ||
    fail "the saved painting does not validate: $(cat "$work/validate.log")"
fi

# A start file that does not exist: the alert names it, a new painting
# follows, and Ctrl+Q ends the program with status 0.
missing="$work/no such painting.ptg"
"$program" "$missing" 2>"$work/stderr" &
pid=$!
pids+=("$pid")
await "the alert naming the missing start file" find_alert "$pid"
await "the alert of the missing start file drawn (see $shots/missing-alert.png)" \
  settled missing-alert alert_drawn missing-alert
await "Return to dismiss the alert of the missing start file" return_on_alert
grep -qF "A file could not be located." "$work/stderr" && grep -qF "$missing" "$work/stderr" ||
  fail "the alert did not name the missing file: $(cat "$work/stderr")"
await "a visible window titled Daublin after the missing start file" find_window '^Daublin$'
await "the new painting after the missing start file (see $shots/missing-start.png)" \
  settled missing-start canvas_shown missing-start
xdotool key ctrl+q
ended "$pid" "Ctrl+Q to end the program after the missing file"
[ "$status" -eq 0 ] || fail "the program ended with status $status after the missing file"

# The name bar: a run of its own. At start only its cap shows at the
# window's left edge (x 0..31, y 12..47), dark glass on the backdrop with
# a grip of two grey strokes, and no light text pixels in the bar's rows
# (bars.png). A click on the cap slides the bar out: light text pixels
# from the window's left edge on ("Untitled.ptg", namebar.png). A press on
# the cap released 100 pixels below it leaves the bar where it was; a
# second click retracts it. Out again, Ctrl+S saves through a stand-in
# dialog answering a path that ends in Harbour.ptg, and the bar's
# rectangle changes to the new name (its crop is namebar-saved.png).
dialog_stub "$work/bars-bin" "$work/Harbour.ptg"
PATH="$work/bars-bin:$PATH" "$program" 2>"$work/stderr" &
pid=$!
pids+=("$pid")
await "a visible window titled Daublin for the name bar's run" find_window '^Daublin$'
wid=$found
timeout 60 xdotool windowfocus --sync "$wid" || fail "waited 60 s for the window to take the focus"
# How many light pixels (grey above 70 %) shot $1 holds in the bar's rows
# from x 0 to 599.
bar_rows=600x36+0+12
light_in_bar() {
  convert "$shots/$1.png" -crop "$bar_rows" +repage -colorspace gray -threshold 70% \
    -format '%[fx:round(mean*w*h)]' info:
}
# Retracted: the cap's glass is dark and warm, its grip grey (neither light
# nor dark), and nothing light in the bar's rows.
cap_only() {
  local r g b
  read -r r g b < <(pixel "$1" 8 30)
  [ "$r" -lt 60 ] && [ "$r" -ge "$g" ] && [ "$g" -ge "$b" ] || return 1
  ! is_light "$1" 17 30 && ! is_dark "$1" 17 30 && ! is_light "$1" 22 30 && ! is_dark "$1" 22 30 &&
    is_dark "$1" 40 30 && [ "$(light_in_bar "$1")" = 0 ]
}
await "only the name bar's cap at the left edge (see $shots/bars.png)" \
  settled bars eval 'canvas_shown bars && cap_only bars'
# Extended: light text pixels from x 12 on, and none in the first 10 columns.
text_out() {
  [ "$(light_in_bar "$1")" -gt 50 ] &&
    [ "$(convert "$shots/$1.png" -crop 10x36+0+12 +repage -colorspace gray -threshold 70% \
      -format '%[fx:round(mean*w*h)]' info:)" = 0 ]
}
timeout 60 xdotool mousemove --sync 16 30 click 1 || fail "waited 60 s to click the name bar's cap"
await "a click on the cap to slide the name bar out (see $shots/namebar.png)" \
  settled namebar text_out namebar
# The cap now lies just right of the text: the text's last light column, 5
# pixels of glass, then the 32-pixel cap.
text_box=$(convert "$shots/namebar.png" -crop "$bar_rows" +repage -colorspace gray \
  -threshold 70% -format '%@' info:) # <w>x<h>+<x>+<y>
text_x=${text_box#*+}
cap_x=$((${text_box%%x*} + ${text_x%%+*} + 20))
# Held on the cap, the bar gives 5 pixels at once; released 100 pixels
# below, it goes back to where it was.
timeout 60 xdotool mousemove --sync "$cap_x" 30 mousedown 1 || fail "waited 60 s to press the cap"
bar_gave() { shoot_here namebar-pressed && [ "$(differing namebar-pressed namebar "$bar_rows")" != 0 ]; }
await "the bar to give under the press on its cap at x $cap_x (see $shots/namebar-pressed.png)" bar_gave
timeout 60 xdotool mousemove --sync "$cap_x" 130 sleep 0.1 mouseup 1 ||
  fail "waited 60 s to release the button below the cap"
await "a release 100 pixels below the cap to leave the bar out (see $shots/namebar-kept.png)" \
  settled namebar-kept same_as namebar-kept namebar
timeout 60 xdotool mousemove --sync "$cap_x" 30 click 1 || fail "waited 60 s to click the extended cap"
await "a second click to retract the name bar (see $shots/bars-again.png)" \
  settled bars-again same_as bars-again bars
timeout 60 xdotool mousemove --sync 16 30 click 1 || fail "waited 60 s to click the cap again"
await "the name bar out again (see $shots/namebar-again.png)" \
  settled namebar-again same_as namebar-again namebar
xdotool key ctrl+s
await "Ctrl+S to save the painting as $work/Harbour.ptg" test -s "$work/Harbour.ptg"
renamed() { [ "$(differing namebar-renamed namebar "$bar_rows")" != 0 ] && text_out namebar-renamed; }
await "the name bar to show the saved name (see $shots/namebar-renamed.png)" \
  settled namebar-renamed renamed
convert "$shots/namebar-renamed.png" -crop 320x60+0+0 +repage "$shots/namebar-saved.png" ||
  fail "could not crop the saved name's bar"
# Saved and unchanged, the painting quits without asking.
xdotool key ctrl+q
ended "$pid" "Ctrl+Q to end the name bar's run"
[ "$status" -eq 0 ] || fail "the name bar's run ended with status $status"
# The brush picker (resources/brush-picker.yaml), in a run of its own. Its
# root lies at (12, 316), 152 x 392, over the canvas's left edge; the
# places below are its widgets' in the window, worked out from the YAML.
#   what              centre       what              centre
#   oil paint (721)   44 348       pencils (722)     88 348
#   palette knife     132 348      pens (724)        44 392
#   chalk (725)       88 392       crayon (726)      132 392
#   eraser (727)      44 436       preview (604)     88 532, 104 x 136 at (36, 464)
#   smaller (610)     38 620       larger (611)      138 620
#   read-out (607)    88 618       pressure (614)    104 662
#   hide (743)        154 698      pop-up (620)      from (12, 644), 32 high
button_x=(44 88 132 44 88 132 44)
button_y=(348 348 348 392 392 392 436)
preview_region=104x136+36+464
readout_region=60x18+58+610
# The buttons lit in shot $1, by index (0 is oil paint): an icon at full
# opacity has pixels far lighter than a resting one, dimmed to 100.
lit_buttons() {
  local i lit=()
  for i in 0 1 2 3 4 5 6; do
    local max
    max=$(convert "$shots/$1.png" -crop "24x24+$((button_x[i] - 12))+$((button_y[i] - 12))" +repage \
      -colorspace gray -format '%[fx:maxima]' info:)
    awk -v m="$max" 'BEGIN { exit !(m > 0.7) }' && lit+=("$i")
  done
  echo "${lit[*]}"
}
lit_is() { [ "$(lit_buttons "$1")" = "$2" ]; }
click_at() {
  timeout 60 xdotool mousemove --sync "$1" "$2" click "${3:-1}" || fail "waited 60 s to click at ($1, $2)"
}
PATH="$work/bin:$PATH" "$program" 2>"$work/stderr" &
pid=$!
pids+=("$pid")
await "a visible window titled Daublin for the brush picker" find_window '^Daublin$'
wid=$found
timeout 60 xdotool windowfocus --sync "$wid" || fail "waited 60 s for the window to take the focus"
# The panel at the left edge, oil paint lit, an oil stroke in the preview.
picker_shown() {
  canvas_shown brush && lit_is brush 0 && is_dark brush 20 500 && is_light brush 40 470 &&
    oil_blue brush 83 520
}
# Whether the pixel is the sample's blue paint (blue well above red).
oil_blue() {
  local r g b
  read -r r g b < <(pixel "$1" "$2" "$3")
  [ "$b" -gt $((r + 30)) ] && [ "$b" -lt 200 ]
}
await "the brush picker at the left edge with oil paint lit (see $shots/brush.png)" \
  settled brush picker_shown
# Each tool button moves the light and repaints the preview (chalk and
# crayon paint the same sample on the clean preview: crayon's pick-up has
# nothing to pick up there).
previous=brush
for i in 1 2 3 4 5 6 0; do
  click_at "${button_x[i]}" "${button_y[i]}"
  await "the click on tool button $i to light it (see $shots/tool-$i.png)" settled "tool-$i" lit_is "tool-$i" "$i"
  if [ "$i" != 5 ]; then
    [ "$(differing "tool-$i" "$previous" "$preview_region")" != 0 ] ||
      fail "tool button $i left the preview as it was (see $shots/tool-$i.png)"
  fi
  previous=tool-$i
done
# Keys 1 to 7 light the same buttons as the number keys' tools.
key_button=(0 1 5 4 3 2 6)
for k in 1 2 3 4 5 6 7; do
  xdotool key "$k"
  await "key $k to light button ${key_button[k - 1]} (see $shots/key-$k.png)" \
    settled "key-$k" lit_is "key-$k" "${key_button[k - 1]}"
done
xdotool key 1
await "key 1 to bring back oil paint" settled key-oil lit_is key-oil 0
# "+" three times: the read-out changes. Each press is held until the
# read-out shows its step: the button steps while it finds itself held, so
# a press already released when it looks changes nothing.
timeout 60 xdotool mousemove --sync 138 620 || fail "waited 60 s to move onto +"
stepped() { shoot_here "$1" && [ "$(differing "$1" "$2" "$readout_region")" != 0 ]; }
previous=key-oil
for n in 1 2 3; do
  timeout 60 xdotool mousedown 1 || fail "waited 60 s to press +"
  await "press $n on + to step the read-out (see $shots/larger-$n.png)" stepped "larger-$n" "$previous"
  timeout 60 xdotool mouseup 1 || fail "waited 60 s to release +"
  previous=larger-$n
done
readout_changed() { [ "$(differing larger key-oil "$readout_region")" != 0 ]; }
await "three clicks on + to change the read-out (see $shots/larger.png)" settled larger readout_changed
# The pressure button opens the pop-up left of it; Escape closes it.
click_at 104 662
popup_open() { is_dark pressure 200 650 && is_light larger 200 650; }
await "the pressure pop-up (see $shots/pressure.png)" settled pressure popup_open
xdotool key Escape
await "Escape to close the pressure pop-up (see $shots/pressure-closed.png)" \
  settled pressure-closed same_as pressure-closed larger
# The hide button folds the panel down to itself and back.
click_at 154 698
folded() { is_light folded 132 348 && is_light folded 88 532 && is_light folded 104 662; }
await "the hide button to fold the panel (see $shots/folded.png)" settled folded folded
click_at 154 698
await "the hide button to unfold the panel (see $shots/unfolded.png)" \
  settled unfolded same_as unfolded larger
# A drag from the canvas into the panel's overlap hides the panel while
# the button is held and shows it after the release.
timeout 60 xdotool mousemove --sync 400 520 mousedown 1 sleep 0.05 mousemove --sync 300 520 \
  sleep 0.02 mousemove --sync 200 520 sleep 0.02 mousemove --sync 150 520 ||
  fail "waited 60 s to drag into the panel"
panel_away() { shoot_here drag-held && is_light drag-held 132 348 && is_light drag-held 104 662; }
await "the panel to go from under the held drag (see $shots/drag-held.png)" panel_away
timeout 60 xdotool mouseup 1 || fail "waited 60 s to release the drag"
back_after_drag() { [ "$(differing dragged larger 152x120+12+316)" = 0 ]; }
await "the panel back after the drag (see $shots/dragged.png)" settled dragged back_after_drag
# A right click on the canvas hides every panel and shows the hint; a
# second brings them back.
# (The pointer comes to rest on the canvas before each click, as a hand's
# does: the canvas reads a click as its own by the rollover.)
right_click_canvas() {
  timeout 60 xdotool mousemove --sync 700 500 sleep 0.3 mousemove 702 501 sleep 0.3 \
    mousedown 3 sleep 0.1 mouseup 3 || fail "waited 60 s to right-click the canvas"
}
right_click_canvas
hint_shown() {
  is_light hint 132 348 && is_light hint 88 532 &&
    [ "$(convert "$shots/hint.png" -crop 400x24+440+972 +repage -colorspace gray -format '%[fx:maxima]' info:)" != 0 ] &&
    [ "$(differing hint dragged 400x24+440+972)" != 0 ]
}
await "a right click to hide the panels and show the hint (see $shots/hint.png)" settled hint hint_shown
right_click_canvas
await "a second right click to bring the panels back (see $shots/hint-gone.png)" \
  settled hint-gone same_as hint-gone dragged
xdotool key ctrl+q
await "Ctrl+Q to raise the prompt after the brush picker" settled picker-prompt prompt_shown_in picker-prompt
xdotool key n
ended "$pid" "n to end the brush picker's run"
[ "$status" -eq 0 ] || fail "the brush picker's run ended with status $status"

# The colour picker (resources/colour-picker.yaml) and the clean-brush
# panel (resources/clean-brush.yaml), in a run of their own. The picker's
# root lies at (980, 60), 288 x 252; the clean-brush panel at (1090, 930),
# 120 x 84. The places below are worked out from the YAML.
#   what                 where
#   main area (425)      992..1171 x 72..251, the disc's centre (1171, 251)
#   strip (422)          1184..1203 x 72..251, its middle row y 162
#   swatch (411)         centre (1238, 90)
#   dropper (470)        centre (1238, 138)
#   type button (466)    centre (1090, 282), the label's row 264..299
#   auto-clean (465)     centre (1210, 282)
#   hide (412)           centre (1024, 104)
#   glass (910)          1102..1149 x 938..1005, water from y 960
#   inset (903)          centre (1178, 972)
disc_region=180x180+992+72
label_region=150x36+1030+264
glass_region=48x68+1102+938
# "r g b" of a pixel; whether two are within $3 levels in every channel.
within() {
  local r0 g0 b0 r1 g1 b1
  read -r r0 g0 b0 <<<"$1"
  read -r r1 g1 b1 <<<"$2"
  [ $((r0 > r1 ? r0 - r1 : r1 - r0)) -le "$3" ] && [ $((g0 > g1 ? g0 - g1 : g1 - g0)) -le "$3" ] &&
    [ $((b0 > b1 ? b0 - b1 : b1 - b0)) -le "$3" ]
}
# Whether the pixel's red is above its green and blue by $4 or more.
reddish() {
  local r g b
  read -r r g b < <(pixel "$1" "$2" "$3")
  [ "$r" -ge $((g + $4)) ] && [ "$r" -ge $((b + $4)) ]
}
# The water at rest: cyan, green and blue well above red.
water_cyan() {
  local r g b
  read -r r g b < <(pixel "$1" 1126 990)
  [ "$g" -gt $((r + 40)) ] && [ "$b" -gt $((r + 40)) ]
}
PATH="$work/bin:$PATH" "$program" 2>"$work/stderr" &
pid=$!
pids+=("$pid")
await "a visible window titled Daublin for the colour picker" find_window '^Daublin$'
wid=$found
timeout 60 xdotool windowfocus --sync "$wid" || fail "waited 60 s for the window to take the focus"
# Type 1: red at the rim's bottom, cyan halfway round, red-magenta at the
# top; the grey hole; the strip light at its top and dark at its bottom;
# the swatch's blue; the water cyan.
colour_shown() {
  local r g b
  canvas_shown colour && reddish colour 997 247 100 || return 1
  read -r r g b < <(pixel colour 1044 124)
  [ "$g" -gt $((r + 100)) ] && [ "$b" -gt $((r + 100)) ] || return 1
  read -r r g b < <(pixel colour 1167 77)
  [ "$r" -gt $((g + 100)) ] || return 1
  within "$(pixel colour 1162 242)" "128 128 128" 3 && is_light colour 1194 76 &&
    is_dark colour 1194 248 && within "$(pixel colour 1238 90)" "128 160 255" 2 &&
    water_cyan colour
}
await "the colour picker and the clean-brush panel (see $shots/colour.png)" settled colour colour_shown
# The strip's middle sets lightness 0.5; a click in the red part of the
# disc makes the swatch the disc's colour there, and a stroke painted next
# is red.
click_at 1194 162
click_at 1012 242
swatch_matches() { within "$(pixel picked 1238 90)" "$(pixel colour 1012 242)" 4; }
await "the swatch to take the disc's red (see $shots/picked.png)" settled picked swatch_matches
reddish picked 1238 90 150 || fail "the picked colour is not red (see $shots/picked.png)"
timeout 60 xdotool mousemove --sync 300 600 mousedown 1 sleep 0.05 mousemove --sync 350 600 \
  sleep 0.02 mousemove --sync 400 600 sleep 0.02 mousemove --sync 450 600 sleep 0.02 \
  mousemove --sync 500 600 sleep 0.02 mousemove --sync 550 600 sleep 0.02 \
  mousemove --sync 600 600 sleep 0.05 mouseup 1 || fail "waited 60 s to paint with the picked colour"
await "a red stroke with the picked colour (see $shots/red-stroke.png)" \
  settled red-stroke reddish red-stroke 450 600 60
# The type button names the next type and repaints the disc.
click_at 1090 282
type_changed() {
  [ "$(differing type red-stroke "$label_region")" != 0 ] &&
    [ "$(differing type red-stroke "$disc_region")" != 0 ]
}
await "the type button to change the label and the disc (see $shots/type.png)" settled type type_changed
# Auto-clean slides the clean-brush panel out of view; a second click
# brings it back as it was.
click_at 1210 282
glass_gone() { ! water_cyan autoclean && [ "$(differing autoclean type "$glass_region")" != 0 ]; }
await "auto-clean on to slide the clean-brush panel away (see $shots/autoclean.png)" \
  settled autoclean glass_gone
click_at 1210 282
glass_back() { [ "$(differing autoclean-off type 240x94+1040+930)" = 0 ]; }
await "auto-clean off to bring the panel back (see $shots/autoclean-off.png)" \
  settled autoclean-off glass_back
# The dropper dragged onto the stroke hides every panel while held and
# leaves the swatch the stroke's colour.
timeout 60 xdotool mousemove --sync 1238 138 mousedown 1 sleep 0.1 mousemove --sync 1000 300 \
  sleep 0.05 mousemove --sync 700 500 sleep 0.05 mousemove --sync 450 600 ||
  fail "waited 60 s to drag the dropper"
panels_away() {
  shoot_here dropper &&
    is_light dropper 132 348 && is_light dropper 88 532 && is_light dropper 1100 180 &&
    ! water_cyan dropper && ! reddish dropper 997 247 100
}
await "the held dropper to take every panel away (see $shots/dropper.png)" panels_away
timeout 60 xdotool mouseup 1 || fail "waited 60 s to release the dropper"
dropped() {
  within "$(pixel dropped 1238 90)" "$(pixel red-stroke 450 600)" 2 && colour_panels_back dropped
}
colour_panels_back() { ! is_light "$1" 132 348 && water_cyan "$1" && ! is_light "$1" 1100 180; }
await "the swatch to show the stroke's colour (see $shots/dropped.png)" settled dropped dropped
# The inset rinses the brush: the water takes on some of the colour.
click_at 1178 972
rinsed() { [ "$(differing inset dropped "$glass_region")" != 0 ]; }
await "the inset to tint the water (see $shots/inset.png)" settled inset rinsed
# The hide button folds the body and the clean-brush panel, and unfolds them.
click_at 1024 104
folded_colour() {
  is_light colour-folded 1100 180 && is_light colour-folded 1044 124 && ! water_cyan colour-folded &&
    [ "$(differing colour-folded inset "$glass_region")" != 0 ]
}
await "the hide button to fold the picker (see $shots/colour-folded.png)" \
  settled colour-folded folded_colour
click_at 1024 104
await "the hide button to unfold the picker (see $shots/colour-unfolded.png)" \
  settled colour-unfolded same_as colour-unfolded inset
xdotool key ctrl+q
await "Ctrl+Q to raise the prompt after the colour picker" settled colour-prompt prompt_shown_in colour-prompt
xdotool key n
ended "$pid" "n to end the colour picker's run"
[ "$status" -eq 0 ] || fail "the colour picker's run ended with status $status"

# 2. A damaged resource file: the program ends once its alert is
# dismissed.
mkdir -p "$work/Resources"
cp "$program" "$work/daublin"
head -c 4096 /dev/zero | tr '\0' '\377' >"$work/Resources/system.vrf"
"$work/daublin" 2>"$work/stderr" &
pid=$!
pids+=("$pid")
await "the alert of a damaged resource file" find_alert "$pid"
# Return on the alert until the program has ended (see return_on_alert).
return_until_ended() {
  gone "$pid" && return 0
  return_on_alert || return 1
  await_said="the alert has gone but the program still runs"
  return 1
}
await "Return to dismiss the alert and end the program" return_until_ended
ended "$pid" "the program to end after its alert"
[ "$status" -ne 0 ] || fail "a failed start-up ended with status 0"
grep -q "Error." "$work/stderr" || fail "the alert did not say Error."
if pgrep -f "$work/" >/dev/null; then
  fail "a process was left behind"
fi
echo "smoke: passed"
