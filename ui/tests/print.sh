#!/usr/bin/env bash
# Prints from the real program on a virtual X display (1280 x 1024), with
# stub zenity, lp and lpstat first on PATH: after a stroke, Shift+P asks for
# the page set-up (the stub answers "A3|Landscape") and p asks whether to
# print (the stub answers yes); lp gets a one-page PDF of 1191 x 842 points
# holding one image of the painting's size, titled with the project's name,
# for the destination lpstat names, and the private temporary folder is
# empty again. The page is drawn to <shots folder>/printed-page.png with
# pdftoppm, beside the screenshots.
#
# It takes the whole display, so it runs only on a display of its own, the
# one testsupport/x11-run.sh starts (CTest's daublin_print_smoke does):
#   bash testsupport/x11-run.sh 1280x1024x24 bash ui/tests/print.sh build/release/bin/daublin /tmp/shots
# Usage: print.sh <path of the daublin program> <shots folder>
set -u
[ -n "${DAUBLIN_SMOKE_TRACE:-}" ] && set -x

fail() {
  echo "FAIL: $*" >&2
  [ -n "${work:-}" ] && [ -f "$work/stderr" ] && sed 's/^/  daublin: /' "$work/stderr" >&2
  exit 1
}

# await, find_window.
source "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/x11-helpers.sh"

[ $# -eq 2 ] || fail "usage: print.sh <path of the daublin program> <shots folder>"
for tool in pdfinfo pdfimages pdftoppm; do
  command -v "$tool" >/dev/null || fail "$tool is missing: install poppler-utils"
done
x11_program_setup "$1" "$2" 'print-*.png'
rm -f "$shots/printed-page.png"
unset LPDEST PRINTER
no_first_run

# The stubs: each records its arguments, one a line, in $work/<name>.args.
mkdir -p "$work/bin" "$work/tmp"
stub() {
  printf '#!/bin/sh\nprintf "%%s\\n" "$@" > "%s/%s.args"\n%s\n' "$work" "$1" "$2" >"$work/bin/$1"
  chmod 755 "$work/bin/$1"
}
# shellcheck disable=SC2016 # the stubs' own variables
stub zenity 'case "$1" in --forms) echo "A3|Landscape" ;; --question) exit 0 ;; *) exit 1 ;; esac'
stub lpstat 'echo "system default destination: Studio"'
# shellcheck disable=SC2016
stub lp 'for last; do :; done; cp "$last" "'"$work"'/printed.pdf"'
export PATH="$work/bin:$PATH" TMPDIR="$work/tmp"

source "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/x11-shots.sh"

"$program" 2>"$work/stderr" &
pid=$!
await "a visible window titled Daublin" find_window '^Daublin$'
wid=$found
timeout 60 xdotool windowfocus --sync "$wid" || fail "waited 60 s for the window to take the focus"
# The start-up painting: 1152 x 922 at (64, 51), light on the dark backdrop.
canvas_shown() {
  is_light "$1" 64 51 && is_light "$1" 1215 972 && is_dark "$1" 63 51 && is_dark "$1" 1216 972
}
await "the start-up canvas (see $shots/print-start.png)" settled print-start canvas_shown print-start

# A stroke, so that the page shows paint.
drag=(mousemove --sync 300 300 mousedown 1 sleep 0.05)
for ((i = 1; i <= 100; i++)); do
  drag+=(mousemove --sync $((300 + 6 * i)) $((300 + 3 * i)) sleep 0.01)
done
drag+=(sleep 0.05 mouseup 1)
timeout 60 xdotool "${drag[@]}" || fail "waited 60 s for xdotool to drag across the canvas"
painted() { ! same_as "$1" print-start; }
await "the stroke on the canvas (see $shots/print-painted.png)" settled print-painted painted print-painted

xdotool key shift+p
await "Shift+P to ask for the page set-up" test -f "$work/zenity.args"
grep -qx -- --forms "$work/zenity.args" || fail "Shift+P ran zenity without --forms: $(cat "$work/zenity.args")"
# While a dialog program runs, the window takes no keys: p waits until the
# program has seen the set-up dialog end (no child process left).
no_dialog() { ! pgrep -P "$pid" >/dev/null; }
await "the page set-up dialog to end" no_dialog
rm -f "$work/zenity.args"
timeout 60 xdotool windowfocus --sync "$wid" || fail "waited 60 s for the window to take the focus back"
xdotool key p
await "p to hand lp the page" test -s "$work/printed.pdf"
await "lp to end" no_dialog
grep -qx -- --question "$work/zenity.args" || fail "p asked nothing before printing"
grep -q "(A3, landscape)?" "$work/zenity.args" || fail "the question named another set-up: $(cat "$work/zenity.args")"
shoot print-printed

lp_args=$(tr "\n" " " <"$work/lp.args")
[ "$(sed -n 1,2p "$work/lp.args" | tr '\n' ' ')" = "-d Studio " ] ||
  fail "lp was not given the destination lpstat named: $lp_args"
[ "$(sed -n 5p "$work/lp.args")" = "--" ] || fail "lp's arguments: $lp_args"
info=$(pdfinfo "$work/printed.pdf") || fail "pdfinfo could not read the page"
grep -q '^Pages: *1$' <<<"$info" || fail "not one page: $info"
grep -q '^Page size: *1191 x 842 pts' <<<"$info" || fail "not an A3 landscape page: $info"
title=$(sed -n 4p "$work/lp.args")
grep -q "^Title: *$title\$" <<<"$info" || fail "the document's title is not lp's \"$title\": $info"
images=$(pdfimages -list "$work/printed.pdf" | tail -n +3)
[ "$(wc -l <<<"$images")" = 1 ] || fail "not one image: $images"
read -r _ _ _ width height _ <<<"$images"
echo "print: lp got '$lp_args' and one ${width} x ${height} image on a 1191 x 842 page"
pdftoppm -r 36 -png -singlefile "$work/printed.pdf" "$shots/printed-page" ||
  fail "pdftoppm could not draw the page"
# The program takes its temporary file away once lp has ended.
tmp_empty() {
  await_said="it holds: $(ls -A "$work/tmp")"
  [ -z "$(ls -A "$work/tmp")" ]
}
await "the temporary folder empty again after the print" tmp_empty

# The painting's size is what the program says it made: the start-up
# painting fills 90 % of the screen at one screen pixel a canvas pixel.
[ "$width x $height" = "1152 x 922" ] || fail "the image is $width x $height, not the painting's 1152 x 922"
echo "print: passed"
