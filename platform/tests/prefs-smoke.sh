#!/usr/bin/env bash
# The preferences kept from one run of the real program to the next, on a
# virtual X display (1280 x 1024). Both runs share one temporary
# configuration folder; the sound goes to SDL's "disk" audio driver, a file
# a run. Run 1 is a first run: a key closes the welcome box; a click on
# the oil paint button is heard (its audio holds samples other than 0);
# key 4 takes chalk; Edit > Interface Sounds turns the sounds off; a click
# in the colour picker's disc picks a colour; - makes the window 1024 x 768;
# Ctrl+Q ends it with status 0 and no prompt, leaving Daublin.prs of 272
# bytes in a folder for the user alone, with tool 3, sounds 0 and window
# flag 0. Run 2: no welcome box; the window at (128, 128), 1024 x 768; the
# chalk button lit and oil paint's not (prefs-run2.png); the swatch exactly
# run 1's colour; a click on the chalk button leaves its audio all zeros
# (or none: the device opens with the first sound played), and Edit shows
# Interface Sounds unticked;
# Ctrl+Q writes the same 272 bytes again. The shots are kept in <shots
# folder>.
#
# Run through testsupport/x11-run.sh (CTest's daublin_prefs_smoke does):
#   bash testsupport/x11-run.sh 1280x1024x24 bash platform/tests/prefs-smoke.sh build/release/bin/daublin /tmp/shots
# Usage: prefs-smoke.sh <path of the daublin program> <shots folder>
set -u
[ -n "${DAUBLIN_SMOKE_TRACE:-}" ] && set -x

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

source "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/x11-helpers.sh"

[ $# -eq 2 ] || fail "usage: prefs-smoke.sh <path of the daublin program> <shots folder>"
# A first run: nothing in the configuration folder yet.
x11_program_setup "$1" "$2" 'prefs-*.png'
prefs="$XDG_CONFIG_HOME/daublin/Daublin.prs"
export SDL_AUDIODRIVER=disk

mkdir -p "$work/bin"
cat >"$work/bin/xdg-open" <<STUB
#!/bin/sh
echo "\$*" >>"$work/xdg-open.log"
STUB
chmod +x "$work/bin/xdg-open"

source "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/x11-shots.sh"
click_at() {
  timeout 60 xdotool mousemove --sync "$1" "$2" click 1 || fail "waited 60 s to click at ($1, $2)"
}
# The audio file's bytes from offset $2 on that are not 0.
sounding() { tail -c +$(($2 + 1)) "$1" | tr -d '\0' | wc -c; }
size_of() { stat -c %s "$1" 2>/dev/null || echo 0; }
# The int32 payload of record $2 (from 0) of file $1, little-endian.
payload() { od -An -t d4 -j $(($2 * 16 + 12)) -N 4 "$1" | tr -d ' '; }

# The brush picker's tool buttons and the colour picker's swatch in a
# window filling the screen (see smoke.sh) and in the 1024 x 768 window at
# (128, 128): the brush picker stays centred on the left edge (the same
# screen rows), the colour picker keeps to the right edge (128 to the left,
# 128 down).
button_x=(44 88 132 44 88 132 44)
button_y=(348 348 348 392 392 392 436)
lit_buttons() { # <shot> <x offset>
  local i lit=()
  for i in 0 1 2 3 4 5 6; do
    local max
    max=$(convert "$shots/$1.png" -crop "24x24+$((button_x[i] + $2 - 12))+$((button_y[i] - 12))" +repage \
      -colorspace gray -format '%[fx:maxima]' info:)
    awk -v m="$max" 'BEGIN { exit !(m > 0.7) }' && lit+=("$i")
  done
  echo "${lit[*]}"
}
lit_is() { [ "$(lit_buttons "$1" "$2")" = "$3" ]; }

eval "$(xdotool getdisplaygeometry --shell)"
[ "${WIDTH}x$HEIGHT" = 1280x1024 ] || fail "the display is ${WIDTH}x$HEIGHT, not 1280x1024"

# --- Run 1.
SDL_DISKAUDIOFILE="$work/run1.raw" PATH="$work/bin:$PATH" "$program" 2>"$work/stderr1" &
pid=$!
pids+=("$pid")
await "a visible window titled Daublin" find_window '^Daublin$'
wid=$found
expect_geometry "$wid" 0 0 1280 1024
timeout 60 xdotool windowfocus --sync "$wid" || fail "waited 60 s for the window to take the focus"
# The welcome box greets the first run: its Manual button's ochre face.
welcome() {
  local r g b
  read -r r g b < <(pixel "$1" 803 600)
  [ "$r" -gt $((b + 100)) ] && [ "$g" -gt $((b + 40)) ]
}
await "the welcome box of a first run (see $shots/prefs-welcome.png)" settled prefs-welcome welcome prefs-welcome
xdotool key x
canvas_shown() { is_light "$1" 64 51 && is_light "$1" 1215 972 && is_dark "$1" 63 51; }
await "a key to close the welcome box (see $shots/prefs-run1.png)" settled prefs-run1 canvas_shown prefs-run1
# The box's sounds have played out: the newest audio is silence.
quiet() { [ "$(size_of "$work/run1.raw")" -gt 8192 ] &&
  [ "$(tail -c 8192 "$work/run1.raw" | tr -d '\0' | wc -c)" = 0 ]; }
await "the welcome box's sounds to end in $work/run1.raw" quiet
before=$(size_of "$work/run1.raw")
click_at "${button_x[0]}" "${button_y[0]}"
heard() { [ "$(sounding "$work/run1.raw" "$before")" -gt 0 ]; }
await "the oil paint button's click to be heard" heard

xdotool key 4
await "key 4 to light chalk (see $shots/prefs-chalk.png)" settled prefs-chalk lit_is prefs-chalk 0 4

# Edit > Interface Sounds: the bar's Edit title, then row 3 (after the
# separator); the menu closes with the choice. The bar hangs at the
# window's right edge (the right edge less 540), 36 pixels high at y 12,
# the menu's dark glass below it; the Interface Sounds row's ochre tick,
# shown while the sounds are on, lies 101 pixels right of the bar's left
# end and 151 below the window's top.
edit_menu() { # <shot> <window's left> <window's top> <window's width>
  local bar=$(($2 + $4 - 540))
  is_dark "$1" $((bar + 240)) $(($3 + 75))
}
sounds_ticked() { edit_menu "$@" && is_ochre "$1" $(($2 + $4 - 540 + 101)) $(($3 + 151)); }
bar=$((1280 - 540))
click_at $((bar + 110)) 30
await "the Edit menu with the sounds ticked (see $shots/prefs-edit.png)" \
  settled prefs-edit sounds_ticked prefs-edit 0 0 1280
click_at $((bar + 150)) $((48 + 26 * 3 + 13 + 9))
await "Interface Sounds to close the menu (see $shots/prefs-sounds-off.png)" \
  settled prefs-sounds-off same_as prefs-sounds-off prefs-chalk
# A click in the disc's red: the swatch leaves its starting blue for a red
# of the strip's lightness.
reddish() {
  local r g b
  read -r r g b < <(pixel "$1" "$2" "$3")
  [ "$r" -ge $((g + 40)) ] && [ "$r" -ge $((b + 40)) ]
}
click_at 1012 242
await "the swatch to take the disc's colour (see $shots/prefs-picked.png)" \
  settled prefs-picked reddish prefs-picked 1238 90
colour=$(pixel prefs-picked 1238 90)

xdotool key minus
expect_geometry "$wid" 128 128 1024 768
xdotool key ctrl+q
ended "$pid" "Ctrl+Q to end run 1 (a prompt?)"
[ "$status" -eq 0 ] || fail "run 1 ended with status $status: $(cat "$work/stderr1")"

[ "$(size_of "$prefs")" = 272 ] || fail "Daublin.prs is $(size_of "$prefs") bytes, not 272"
[ "$(stat -c %a "$(dirname "$prefs")")" = 700 ] ||
  fail "the preferences folder's mode is $(stat -c %a "$(dirname "$prefs")"), not 700"
[ "$(payload "$prefs" 0)" = 0 ] || fail "the sounds record holds $(payload "$prefs" 0), not 0"
[ "$(payload "$prefs" 1)" = 3 ] || fail "the tool record holds $(payload "$prefs" 1), not 3 (chalk)"
[ "$(payload "$prefs" 12)" = 0 ] || fail "the window record holds $(payload "$prefs" 12), not 0"
cp "$prefs" "$work/run1.prs"

# --- Run 2.
SDL_DISKAUDIOFILE="$work/run2.raw" PATH="$work/bin:$PATH" "$program" 2>"$work/stderr2" &
pid=$!
pids+=("$pid")
await "a visible window titled Daublin for run 2" find_window '^Daublin$'
wid=$found
expect_geometry "$wid" 128 128 1024 768
timeout 60 xdotool windowfocus --sync "$wid" || fail "waited 60 s for run 2's window to take the focus"
# The 922 x 691 painting at (51, 39) in the window; no welcome box over it.
run2_shown() {
  is_light "$1" $((128 + 51)) $((128 + 39)) && is_light "$1" $((128 + 972)) $((128 + 729)) &&
    is_dark "$1" $((128 + 50)) $((128 + 39)) && is_light "$1" 640 512 && lit_is "$1" 128 4
}
await "run 2 in its window with chalk lit (see $shots/prefs-run2.png)" settled prefs-run2 run2_shown prefs-run2
swatch=$(pixel prefs-run2 $((1238 - 128)) $((90 + 128)))
[ "$swatch" = "$colour" ] ||
  fail "the swatch shows $swatch, not run 1's $colour (see $shots/prefs-run2.png)"
click_at $((button_x[4] + 128)) "${button_y[4]}"
# The click shows nothing, so the Edit menu opened after it marks when it
# has been taken (clicks are taken in order); the menu shows the sounds
# unticked.
click_at $((128 + 1024 - 540 + 110)) $((128 + 30))
sounds_unticked() { edit_menu "$@" && ! sounds_ticked "$@"; }
await "the Edit menu of run 2 with the sounds unticked (see $shots/prefs-run2-edit.png)" \
  settled prefs-run2-edit sounds_unticked prefs-run2-edit 128 128 1024
# The device opens with the first sound played: with the sounds off there
# may be no audio file at all, and any there is holds silence only. When
# there is one, the audio written after the click has been taken, 16384
# bytes (about a tenth of a second), covers any sound the click played.
if [ -e "$work/run2.raw" ]; then
  grown() { [ "$(size_of "$work/run2.raw")" -ge $(($1 + 16384)) ]; }
  await "the audio after the click in $work/run2.raw" grown "$(size_of "$work/run2.raw")"
  [ "$(sounding "$work/run2.raw" 0)" = 0 ] || fail "run 2 played a sound with the sounds off"
fi
xdotool key Escape
await "Escape to close run 2's Edit menu (see $shots/prefs-run2-closed.png)" \
  settled prefs-run2-closed same_as prefs-run2-closed prefs-run2
xdotool key ctrl+q
ended "$pid" "Ctrl+Q to end run 2"
[ "$status" -eq 0 ] || fail "run 2 ended with status $status: $(cat "$work/stderr2")"
cmp -s "$prefs" "$work/run1.prs" || fail "run 2 wrote other preferences than run 1: $(cmp "$prefs" "$work/run1.prs")"
echo "prefs smoke: passed"
