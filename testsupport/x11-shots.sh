#!/usr/bin/env bash
# Screenshots for the scripts of tests under a virtual X display, and what
# they read from them; sourced after x11-helpers.sh, with fail(), $shots
# (the folder of shots) and $work (for import's log) set by the caller.

# Screenshots of the whole display, kept as $shots/<name>.png. The pointer
# rests at one place on the backdrop for every shot, so it never makes two
# shots differ. The lightest compression keeps them lossless at a third of
# the time, and a run takes well over a hundred of them.
shoot() {
  local X Y SCREEN WINDOW
  eval "$(xdotool getmouselocation --shell 2>/dev/null)"
  # A move to where the pointer already is never ends with --sync.
  if [ "${X:-}" != 8 ] || [ "${Y:-}" != 1016 ]; then
    timeout 5 xdotool mousemove --sync 8 1016 || fail "waited 5 s to park the pointer"
  fi
  shoot_here "$1"
}
# The same with the pointer left where it is, for what shows only while
# the pointer is on it.
shoot_here() {
  import -window root -define png:compression-level=1 "$shots/$1.png" 2>>"$work/import.log" ||
    fail "import could not take the shot $1: $(cat "$work/import.log")"
}
# The pixel at ($2, $3) of shot $1 as "r g b", each 0..255.
pixel() {
  convert "$shots/$1.png" -crop "1x1+$2+$3" +repage -depth 8 \
    -format '%[fx:round(255*r)] %[fx:round(255*g)] %[fx:round(255*b)]' info:
}
# Whether that pixel is light (every channel above 180) or dark (below 80).
is_light() {
  local r g b
  read -r r g b < <(pixel "$@")
  [ "${r:-0}" -gt 180 ] && [ "${g:-0}" -gt 180 ] && [ "${b:-0}" -gt 180 ]
}
is_dark() {
  local r g b
  read -r r g b < <(pixel "$@")
  [ "${r:-255}" -lt 80 ] && [ "${g:-255}" -lt 80 ] && [ "${b:-255}" -lt 80 ]
}
# How many pixels differ between shots $1 and $2, in the region $3 when
# given (<w>x<h>+<x>+<y>).
differing() {
  local region=${3:-}
  if [ -n "$region" ]; then
    compare -metric AE \( "$shots/$1.png" -crop "$region" +repage \) \
      \( "$shots/$2.png" -crop "$region" +repage \) null: 2>&1
  else
    compare -metric AE "$shots/$1.png" "$shots/$2.png" null: 2>&1
  fi
}
# Takes shot $1 again and again until two in a row are the same and the
# command after it accepts the shot: the program has finished drawing.
settled() { settled_by shoot "$@"; }
# The same with shoot_here.
settled_here() { settled_by shoot_here "$@"; }
settled_by() {
  local take=$1 name=$2
  shift 2
  "$take" "$name-next"
  if [ -f "$shots/$name.png" ] && [ "$(differing "$name" "$name-next")" = 0 ]; then
    rm -f "$shots/$name-next.png"
    "$@"
    return
  fi
  mv "$shots/$name-next.png" "$shots/$name.png"
  return 1
}
# Whether shots $1 and $2 are the same, pixel for pixel.
same_as() { [ "$(differing "$1" "$2")" = 0 ]; }
# Whether the pixel at ($2, $3) of shot $1 is a warm ochre: red well above
# blue, green between.
is_ochre() {
  local r g b
  read -r r g b < <(pixel "$@")
  [ "${r:-0}" -gt $((${b:-255} + 50)) ] && [ "${r:-0}" -ge "${g:-255}" ] && [ "${g:-0}" -gt "${b:-255}" ]
}
# How much shot $1 varies from row to row in region $2: the mean grey
# difference (0..1) between each pixel and the one above it. A blur that
# runs down the columns brings it well down.
spread() {
  convert "$shots/$1.png" -crop "$2" +repage \( +clone -roll +0+1 \) -compose difference -composite \
    -colorspace gray -format '%[fx:mean]' info:
}

# Whether the alert ($alert, testsupport/x11-helpers.sh) is drawn in shot
# $1: its area of the screen holds more than the one colour of a window
# just mapped.
alert_drawn() {
  local X Y WIDTH HEIGHT colours
  eval "$(xdotool getwindowgeometry --shell "$alert" 2>/dev/null)"
  [ -n "${WIDTH:-}" ] || return 1
  colours=$(convert "$shots/$1.png" -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage -format '%k' info:)
  await_said="the alert's area ${WIDTH}x$HEIGHT+$X+$Y holds $colours colours"
  [ "$colours" -gt 1 ]
}
