#!/usr/bin/env bash
# Runs the widgets demo on a virtual X display (1280 x 1024), takes
# screenshots with ImageMagick's import and reads their pixels with convert:
#   - the opaque panel (0xFF3060A0 at 40,40, 240 x 160) is its colour exactly;
#   - where the half-transparent panel (0x80E0E0E0 at 200,120) lies over it,
#     each channel is the blend worked out here, d + floor((s - d + 1) * 128 / 256);
#   - the frame, mask and shadow-panel widgets on a flat panel (0x708090 at
#     40,300, 380 x 300): the frame widget's rectangles in the region colour
#     and its client area in the client colour; the ring (an 8-bit mask)
#     in its colour where the mask is 255 and the flat panel in its hole;
#     the shadow strip's top row the blend of black at alpha
#     (255 x 103) >> 8 = 102 worked out here, its bottom row the flat panel;
#   - the rounded panel (a quarter of the window each way, centred; border
#     3 px, title band 28 px, both in 0xFF20C040; top corners of radius 24)
#     shows its title band in the border colour, and at its top-left corner
#     the gradient behind it;
#   - in the upper right, the 100 x 100 panel at 600,60 of a linear gradient
#     (angle 0.25, Normal, black to white) shows in columns 0 and 99 and at
#     its centre the colours the headless test (DemoEffectsTest) works out
#     for the same block; the sun with a Screen texture of itself (added in
#     code, at 860,60) is lighter than its plain twin (740,60); the first
#     sun, under a radial Multiply gradient (white at its centre), equals
#     the plain twin at its centre and is darker toward its edge;
#   - the effects, chunks of the demo's widget blocks, in the lower right
#     on a flat grey ground (0x808080 from 840,660 to 1270,1010): the hard
#     shadow (radius 0, offset 8,8,
#     opacity 200) beside the small panel at 880,860 (80 x 50) is the blend
#     of black at alpha 201 worked out here; the raised panel's border
#     corners (0x6A655C at 1100,780, 100 x 60) are the two edge colours
#     blended in order; the glass panel's soft shadow (860,680, 200 x 100;
#     offset 0,4, radius 12) is darker than the ground just below the panel,
#     lighter step by step down a column, and the ground itself beyond its
#     extent (30 rows below the panel);
#   - the table on the right (a panel 0x303840 at 880,320, 320 x 240,
#     rows of 20, rollover on): a click on its third row prints "click row
#     2" and draws that row in the select colour 0xA0FFFFFF blended over the
#     panel as worked out here, the next row in its client colour
#     0x20FFFFFF over the panel and the one after in the panel's colour;
#   - the layer shadow's bar in the lower left (see its block below): one
#     merged shadow darker than its flat ground between two buttons, the
#     ground itself beyond the shadow's extent;
#   - the text widgets (demo-smoke-texts.sh): the title's stems in exactly
#     its colour, the label turned by the code taller than wide, the
#     caption centred on its image;
#   - the edit fields (demo-smoke-fields.sh): typing into "Size" and "Name",
#     Return and Escape printed, a selection shown, Ctrl+C read back with
#     xclip and a pasted text cut at its line feed;
#   - the widget inspector (demo-smoke-inspector.sh): Ctrl+Shift, a press
#     on the opaque panel and Alt at the release open it centred in its
#     colours; Escape closes it and the demo looks as before;
#   - after F8 makes it a window of 80 % of the screen, the panel is still
#     centred: as many pixels left of its border as right, above as below;
#   - Escape does nothing, and Ctrl+Q ends it with status 0.
# The screenshots stay in <folder> for a person to look at.
#
# It takes the whole display, so it runs only on a display of its own, the
# one testsupport/x11-run.sh starts (CTest's widgets_demo_smoke does):
#   bash testsupport/x11-run.sh 1280x1024x24 bash devtools/demo/demo-smoke.sh \
#     build/release/bin/widgets-demo/daublin-widgets-demo build/release/widgets-demo
# Usage: demo-smoke.sh <path of daublin-widgets-demo> <folder for the screenshots>
set -u
[ -n "${DAUBLIN_SMOKE_TRACE:-}" ] && set -x

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# await, ended, expect_geometry, find_window.
source "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/x11-helpers.sh"

[ $# -eq 2 ] || fail "usage: demo-smoke.sh <path of daublin-widgets-demo> <folder for the screenshots>"
program=$(readlink -f "$1")
[ -x "$program" ] || fail "no program at $1"
shots=$2
mkdir -p "$shots" || fail "cannot make $shots"
if [ -z "${DISPLAY:-}" ] || [ "${DAUBLIN_X11_DISPLAY:-}" != "$DISPLAY" ]; then
  fail "not on a display of its own; run it through testsupport/x11-run.sh (see the head of this script)"
fi
command -v import >/dev/null || fail "ImageMagick's import is missing (scripts/install-deps.sh installs it)"

# X11's own libraries keep memory to the end; only the smoke run ignores
# leaks.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
unset SDL_VIDEODRIVER

pids=()
cleanup() {
  for p in "${pids[@]}"; do
    { kill -9 "$p" && wait "$p"; } 2>/dev/null
  done
}
trap cleanup EXIT

# shoot <window> <file>: the window's content as a PNG.
shoot() {
  import -window "$1" "$2" 2>/dev/null || fail "import could not take a screenshot of window $1"
}

# The colour at x,y of a screenshot as RRGGBB.
pixel() {
  convert "$1" -format "%[hex:p{$2,$3}]" info: 2>/dev/null | cut -c1-6
}

# expect_pixel <file> <x> <y> <RRGGBB> <what>
expect_pixel() {
  local got
  got=$(pixel "$1" "$2" "$3")
  [ "$got" = "$4" ] || fail "$5: the pixel at $2,$3 is $got, not $4 (see $1)"
}

# Awaits the first redraw: the opaque panel in its colour.
shows_panel() {
  shoot "$1" "$2"
  [ "$(pixel "$2" 160 60)" = 3060A0 ]
}

# extent <file> row|column <at> <colour> <length>: sets $first and $last to
# the first and last index of row <at> (or column <at>) of <length> pixels
# in the colour; fails when the colour is not there.
first=-1
last=-1
extent() {
  local file=$1 way=$2 at=$3 colour=$4 length=$5 crop
  if [ "$way" = row ]; then
    crop="${length}x1+0+$at"
  else
    crop="1x${length}+$at+0"
  fi
  # txt: writes one line per pixel, "x,y: (r,g,b)  #RRGGBB  ...".
  read -r first last < <(convert "$file" -crop "$crop" +repage -depth 8 txt:- 2>/dev/null |
    awk -v way="$way" -v colour="#$colour" '
      NR > 1 {
        split($1, xy, "[,:]")
        i = (way == "row") ? xy[1] : xy[2]
        if (index(toupper($3), colour) == 1) { if (f == "") f = i; l = i }
      }
      END { if (f == "") print -1, -1; else print f, l }')
  [ "$first" -ge 0 ] || fail "no pixel of $colour in $way $at of $file"
}

eval "$(xdotool getdisplaygeometry --shell)"
[ "${WIDTH}x$HEIGHT" = 1280x1024 ] || fail "the display is ${WIDTH}x$HEIGHT, not 1280x1024"

out="$shots/demo-stdout.txt"
"$program" >"$out" &
pid=$!
pids+=("$pid")
await "a visible window titled Daublin Widgets Demo" find_window '^Daublin Widgets Demo$'
wid=$found
expect_geometry "$wid" 0 0 1280 1024
full="$shots/demo-1280x1024.png"
await "the opaque panel to be drawn" shows_panel "$wid" "$full"

# The opaque panel, at the corners the half-transparent one leaves.
expect_pixel "$full" 40 40 3060A0 "the opaque panel"
expect_pixel "$full" 279 40 3060A0 "the opaque panel"
expect_pixel "$full" 40 199 3060A0 "the opaque panel"
expect_pixel "$full" 199 119 3060A0 "the opaque panel beside the half-transparent one"

# The half-transparent panel over the opaque one: 0xE0E0E0 at 128 over
# 0x3060A0.
blend() { echo $(($2 + ((($1 - $2 + 1) * 128) >> 8))); }
veil=$(printf '%02X%02X%02X' "$(blend 0xE0 0x30)" "$(blend 0xE0 0x60)" "$(blend 0xE0 0xA0)")
[ "$veil" = 88A0C0 ] || fail "the blend worked out here is $veil"
expect_pixel "$full" 200 120 "$veil" "the half-transparent panel over the opaque one"
expect_pixel "$full" 279 199 "$veil" "the half-transparent panel over the opaque one"
expect_pixel "$full" 240 150 "$veil" "the half-transparent panel over the opaque one"

# --- The frame, mask and shadow-panel widgets, on the flat panel ---
flat=708090
# The frame widget (60,320, 160 x 100): a bar along its top and a block in
# its middle in 0xE0C040, the rest in 0x2050A0.
expect_pixel "$full" 140 328 E0C040 "the frame widget's top bar"
expect_pixel "$full" 140 375 E0C040 "the frame widget's middle block"
expect_pixel "$full" 80 370 2050A0 "the frame widget's client area"
# The ring (240,320, 96 x 96 from ring.png): 255 at its right side, 0 in
# its middle.
expect_pixel "$full" 321 368 C03020 "the ring where its mask is 255"
expect_pixel "$full" 288 368 "$flat" "the flat panel in the ring's hole"
# The shadow strip (60,440, 340 x 40) at opacity 102: its top row's factor
# is 1.0, so black blends at alpha (255 x (102 + 1)) >> 8 = 102; its bottom
# row's alpha rounds to 0.
alpha=$(((255 * (102 + 1)) >> 8))
[ "$alpha" -eq 102 ] || fail "the strip's alpha worked out here is $alpha"
darken() { echo $(($1 + (((0 - $1 + 1) * alpha) >> 8))); }
strip=$(printf '%02X%02X%02X' "$(darken 0x70)" "$(darken 0x80)" "$(darken 0x90)")
expect_pixel "$full" 200 440 "$strip" "the shadow strip's top row"
expect_pixel "$full" 399 440 "$strip" "the shadow strip's top row"
expect_pixel "$full" 200 479 "$flat" "the shadow strip's bottom row"
# --- End of the frame, mask and shadow-panel widgets ---

# The rounded panel: 320 x 256 at 480,384 on 1280 x 1024.
expect_pixel "$full" 640 384 20C040 "the rounded panel's top border"
expect_pixel "$full" 640 400 20C040 "the rounded panel's title band"
expect_pixel "$full" 481 500 20C040 "the rounded panel's left border"
expect_pixel "$full" 640 500 F0E8D8 "the rounded panel's body"
# Its top-left corner is rounded: the gradient behind shows there, as it
# does a pixel left of the panel (the gradient moves less than a level a
# pixel); its bottom-left corner is square.
corner=$(pixel "$full" 480 384)
beside=$(pixel "$full" 479 384)
[ "$corner" != 20C040 ] || fail "the rounded corner at 480,384 is in the border colour (see $full)"
for c in 0 2 4; do
  a=$((16#${corner:c:2}))
  b=$((16#${beside:c:2}))
  d=$((a > b ? a - b : b - a))
  [ "$d" -le 2 ] || fail "the rounded corner at 480,384 is $corner, the gradient beside it $beside (see $full)"
done
expect_pixel "$full" 480 639 20C040 "the rounded panel's square bottom-left corner"

# --- The effects (chunks of the demo's widget blocks) ---
# blend255 <d> <s> <level>: one channel, d + floor((s - d + 1) * level / 256).
blend255() { echo $(($1 + ((($2 - $1 + 1) * $3) >> 8))); }
# blend_rgb <RRGGBB target> <RRGGBB source> <level>
blend_rgb() {
  local out="" c
  for c in 0 2 4; do
    out+=$(printf '%02X' "$(blend255 $((16#${1:c:2})) $((16#${2:c:2})) "$3")")
  done
  echo "$out"
}
light() { blend_rgb "$1" FFFFFF 160; }
dark() { blend_rgb "$1" 000000 128; }
# The hard shadow: the card draws at alpha 255, the shadow at opacity 200
# gets (256 x 200) >> 8 = 200, and its table product 1.0 gives alpha
# round(201 x 1.0) = 201.
hard=$(blend_rgb 808080 000000 201)
[ "$hard" = 1C1C1C ] || fail "the hard shadow's blend worked out here is $hard"
# Each check: x y expected what. The border's light 0xA0FFFFFF is on the
# top and left, its dark 0x80000000 on the bottom and right; a corner takes
# left then top, top then right, left then bottom, right then bottom.
checks=(
  "963 880 $hard the-hard-shadow-beside-the-small-panel"
  "930 915 $hard the-hard-shadow-below-the-small-panel"
  "885 913 808080 the-ground-left-of-the-hard-shadow"
  "969 880 808080 the-ground-right-of-the-hard-shadow"
  "1100 780 $(light "$(light 6A655C)") the-border's-top-left-corner"
  "1199 780 $(dark "$(light 6A655C)") the-border's-top-right-corner"
  "1100 839 $(dark "$(light 6A655C)") the-border's-bottom-left-corner"
  "1199 839 $(dark "$(dark 6A655C)") the-border's-bottom-right-corner"
  "1150 810 6A655C the-raised-panel-inside-its-border"
)
# One read of every point: "%[hex:p{x,y}]" for each, in order.
format=""
for check in "${checks[@]}"; do
  read -r x y _ <<<"$check"
  format+="%[hex:p{$x,$y}] "
done
read -r -a got < <(convert "$full" -format "$format" info: 2>/dev/null)
[ "${#got[@]}" -eq "${#checks[@]}" ] || fail "cannot read the effects' pixels of $full"
for i in "${!checks[@]}"; do
  read -r x y want what <<<"${checks[i]}"
  [ "${got[i]:0:6}" = "$want" ] ||
    fail "${what//-/ }: the pixel at $x,$y is ${got[i]:0:6}, not $want (see $full)"
done
# The gradient panel: table entries 4094, 40 and 2047 of black to white,
# round(255 x i / 4095).
expect_pixel "$full" 600 80 FFFFFF "the gradient panel's column 0"
expect_pixel "$full" 600 110 FFFFFF "the gradient panel's column 0"
expect_pixel "$full" 699 110 020202 "the gradient panel's column 99"
expect_pixel "$full" 699 159 020202 "the gradient panel's column 99"
expect_pixel "$full" 650 110 7F7F7F "the gradient panel's centre"
# channels <RRGGBB>: the three channels as numbers.
channels() { echo $((16#${1:0:2})) $((16#${1:2:2})) $((16#${1:4:2})); }
# The Screen texture: at the suns' centres (48,48 in each) and 20 px left
# of them, every channel at least the plain twin's, the sum above it.
for dx in 48 28; do
  read -r pr pg pb <<<"$(channels "$(pixel "$full" $((740 + dx)) 108)")"
  read -r tr tg tb <<<"$(channels "$(pixel "$full" $((860 + dx)) 108)")"
  [ "$tr" -ge "$pr" ] && [ "$tg" -ge "$pg" ] && [ "$tb" -ge "$pb" ] &&
    [ $((tr + tg + tb)) -gt $((pr + pg + pb)) ] ||
    fail "the textured sun at $((860 + dx)),108 is not lighter than its plain twin at $((740 + dx)),108 (see $full)"
done
# The radial Multiply over the first sun: white at the centre leaves the
# picture; toward the edge it is darker than the plain twin.
expect_pixel "$full" 488 108 "$(pixel "$full" 788 108)" "the first sun at the radial gradient's centre"
read -r pr pg pb <<<"$(channels "$(pixel "$full" 760 108)")"
read -r gr gg gb <<<"$(channels "$(pixel "$full" 460 108)")"
[ $((gr + gg + gb)) -lt $((pr + pg + pb)) ] && [ "$gr" -le "$pr" ] && [ "$gg" -le "$pg" ] &&
  [ "$gb" -le "$pb" ] ||
  fail "the first sun at 460,108 is not darker than its plain twin at 760,108 (see $full)"
# The soft shadow down column 960: darker than the ground just below the
# glass panel (its last row is 779), never darker further down, the ground
# from row 810 on (100 + 26 + 4 below the panel's top). One read of rows
# 780 to 839: "x,y: (r,g,b) ..." per pixel.
mapfile -t reds < <(convert "$full" -crop 1x60+960+780 +repage -depth 8 txt:- 2>/dev/null |
  awk 'NR > 1 { split($2, c, "[(,]"); print c[2] }')
[ "${#reds[@]}" -eq 60 ] || fail "cannot read column 960 of $full"
[ "${reds[0]}" -lt $((0x80 - 16)) ] ||
  fail "the soft shadow just below the glass panel is ${reds[0]}, not darker than the ground (see $full)"
for i in $(seq 1 29); do
  [ "${reds[i]}" -ge "${reds[i - 1]}" ] ||
    fail "the soft shadow darkens again at 960,$((780 + i)) (see $full)"
done
[ "${reds[29]}" -gt "${reds[0]}" ] || fail "the soft shadow does not get lighter down column 960 (see $full)"
for i in $(seq 30 59); do
  [ "${reds[i]}" -eq 128 ] ||
    fail "the ground beyond the soft shadow's extent at 960,$((780 + i)) is ${reds[i]}, not 128 (see $full)"
done
# --- End of the effects ---

# --- The table (made in code by the demo) ---
# The third row's middle is 320 + 2 x 20 + 10 = 370; column 1 is empty far to
# the right of the names.
xdotool mousemove --window "$wid" 1040 370 click 1 || fail "xdotool could not click the table"
printed() { grep -qx "click row 2" "$out"; }
await "\"click row 2\" on the demo's standard output (see $out)" printed
selected=$(blend_rgb 303840 FFFFFF 160)
[ "$selected" = B2B5B8 ] || fail "the selected row's blend worked out here is $selected"
table="$shots/demo-table.png"
shows_selection() {
  shoot "$wid" "$table"
  [ "$(pixel "$table" 1190 370)" = "$selected" ]
}
await "the table's third row drawn selected" shows_selection
expect_pixel "$table" 1190 361 "$selected" "the selected row's top"
expect_pixel "$table" 1190 390 "$(blend_rgb 303840 FFFFFF 32)" "the row below the selection (odd: the client colour)"
expect_pixel "$table" 1190 410 303840 "the row after (even: the alternate colour, transparent)"
# --- End of the table ---
# --- The layer shadow's bar (attached in code by the demo) ---
# On a flat ground (0xD8D4CC from 40,700 to 420,860) a see-through bar at
# 60,730 (200 x 75) holds three buttons (0x4A7FB5, 55 x 50, every 60 px)
# that cast into one layer shadow (radius 8, speed 1, offset 8,8; margin
# 17): under the 5 px gap between the first two buttons the merged shadow
# is darker than the ground in every channel; beyond its extent (the bar's
# right edge 260 + 17 + 8 = 285) the ground is its colour exactly. The
# bar's part of the screenshot is kept beside it.
expect_pixel "$full" 85 750 4A7FB5 "the layer shadow's first button"
expect_pixel "$full" 300 780 D8D4CC "the ground beyond the layer shadow's extent"
expect_pixel "$full" 200 850 D8D4CC "the ground below the layer shadow's extent"
gap=$(pixel "$full" 117 775)
for c in 0 2 4; do
  [ $((16#${gap:c:2})) -lt $((16#D8D4CC >> (16 - 4 * c) & 255)) ] ||
    fail "between the first two buttons at 117,775 the merged shadow is $gap," \
      "not darker than the ground D8D4CC (see $full)"
done
convert "$full" -crop 380x160+40+700 +repage "$shots/demo-layer-shadow.png" 2>/dev/null ||
  fail "cannot keep the layer shadow's part of $full"
# --- End of the layer shadow's bar ---
# The text widgets: the title's stems, the turned label, the centred caption.
source "$(dirname "${BASH_SOURCE[0]}")/demo-smoke-texts.sh"
# The edit fields: typing, the numeric filter, the clipboard both ways,
# confirm and cancel.
source "$(dirname "${BASH_SOURCE[0]}")/demo-smoke-fields.sh"
# The widget inspector: opened over the opaque panel, closed by Escape.
source "$(dirname "${BASH_SOURCE[0]}")/demo-smoke-inspector.sh"

# Centred: as far from the left edge as from the right, from the top as from
# the bottom. $1 the screenshot, $2 x $3 its size.
expect_centred() {
  local file=$1 w=$2 h=$3 mid
  extent "$file" row $((h / 2)) 20C040 "$w"
  local left=$first right=$((w - 1 - last))
  [ $((left - right)) -le 1 ] && [ $((right - left)) -le 1 ] ||
    fail "the rounded panel is not centred across: $left pixels left of it, $right right (see $file)"
  mid=$(((first + last) / 2))
  extent "$file" column "$mid" 20C040 "$h"
  local top=$first bottom=$((h - 1 - last))
  [ $((top - bottom)) -le 1 ] && [ $((bottom - top)) -le 1 ] ||
    fail "the rounded panel is not centred down: $top pixels above it, $bottom below (see $file)"
}
expect_centred "$full" 1280 1024

timeout 60 xdotool windowfocus --sync "$wid" || fail "waited 60 s for the window to take the focus"
xdotool key F8
expect_geometry "$wid" 128 102 1024 819
window="$shots/demo-1024x819.png"
# The panel is 256 x 205 at 384,307 once the window has been redrawn.
redrawn() {
  shoot "$wid" "$window"
  [ "$(pixel "$window" 512 307)" = 20C040 ] && [ "$(pixel "$window" 512 306)" != 20C040 ]
}
await "the rounded panel centred in the 80 % window" redrawn
expect_centred "$window" 1024 819
expect_pixel "$window" 160 60 3060A0 "the opaque panel in the 80 % window"

# Escape does nothing: a click on the table's fourth row (in the window
# too) after it is answered by a demo still running (the input is handled
# in order).
xdotool key Escape
xdotool mousemove --window "$wid" 960 390 click 1 || fail "xdotool could not click the table"
printed_again() { grep -qx "click row 3" "$out"; }
await "\"click row 3\" after Escape (see $out)" printed_again
kill -0 "$pid" 2>/dev/null || fail "Escape ended the demo"
xdotool key ctrl+q
ended "$pid" "Ctrl+Q to end the demo"
[ "$status" -eq 0 ] || fail "Ctrl+Q ended the demo with status $status"
echo "demo smoke: passed; screenshots in $shots"
