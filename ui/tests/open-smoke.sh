#!/usr/bin/env bash
# Opening and starting anew in the real program on a virtual X display
# (1280 x 1024), with a stand-in zenity first on PATH whose file dialog
# answers from a list the script writes (a path, or "cancel") and logs its
# arguments: a stroke; s saves it as a.ptg; a second stroke; o raises the
# save prompt, n (don't save) opens a.ptg and the screen is the one after
# the save. n shows the new-painting panel over the blurred window; 640,
# Tab, 480, Return, Return make a 640 x 480 painting centred. A stroke; o,
# n, and a cancelled dialog leave the painting, still modified: Ctrl+Q
# raises the save prompt, Escape closes it. o, n, and a text file named
# b.ptg: one "Error." alert, which Return dismisses, the painting as it
# was. Ctrl+Q and n end the program with status 0. The shots are kept in
# <shots folder> (open-*.png); the preferences folder is a temporary one
# holding an empty preferences file, so no welcome box shows.
#
# It takes the whole display, so it runs only on a display of its own, the
# one testsupport/x11-run.sh starts (CTest's daublin_open_smoke does):
#   bash testsupport/x11-run.sh 1280x1024x24 bash ui/tests/open-smoke.sh build/release/bin/daublin /tmp/shots
# Usage: open-smoke.sh <path of the daublin program> <shots folder>
set -u
[ -n "${DAUBLIN_SMOKE_TRACE:-}" ] && set -x

fail() {
  echo "FAIL: $*" >&2
  [ -n "${work:-}" ] && [ -f "$work/stderr" ] && sed 's/^/  daublin: /' "$work/stderr" >&2
  exit 1
}

# await, ended, find_window.
source "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/x11-helpers.sh"

[ $# -eq 2 ] || fail "usage: open-smoke.sh <path of the daublin program> <shots folder>"
x11_program_setup "$1" "$2" 'open-*.png'
no_first_run

# The stand-in zenity: a file dialog logs its arguments to
# $work/dialogs.log (one call a line) and answers the first line of
# $work/answers, which it takes away ("cancel" cancels); anything else,
# an alert among them, goes to the real zenity.
real_zenity=$(command -v zenity) || fail "no zenity on PATH"
mkdir -p "$work/bin"
cat >"$work/bin/zenity" <<STUB
#!/bin/sh
case "\$*" in
*--file-selection*)
  echo "\$*" >>"$work/dialogs.log"
  answer=\$(head -n 1 "$work/answers")
  sed -i 1d "$work/answers"
  [ "\$answer" = cancel ] && exit 1
  echo "\$answer"
  ;;
*) exec "$real_zenity" "\$@" ;;
esac
STUB
chmod +x "$work/bin/zenity"
: >"$work/answers"
answer() { echo "$1" >>"$work/answers"; }
dialogs() { [ -f "$work/dialogs.log" ] && wc -l <"$work/dialogs.log" || echo 0; }
dialogs_are() { [ "$(dialogs)" = "$1" ]; }

source "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/x11-shots.sh"

eval "$(xdotool getdisplaygeometry --shell)"
[ "${WIDTH}x$HEIGHT" = 1280x1024 ] || fail "the display is ${WIDTH}x$HEIGHT, not 1280x1024"

PATH="$work/bin:$PATH" "$program" 2>"$work/stderr" &
pid=$!
await "a visible window titled Daublin" find_window '^Daublin$'
wid=$found
expect_geometry "$wid" 0 0 1280 1024
timeout 60 xdotool windowfocus --sync "$wid" || fail "waited 60 s for the window to take the focus"

# The start-up painting: 1152 x 922 at (64, 51), light on the dark backdrop.
canvas_shown() {
  is_light "$1" 64 51 && is_light "$1" 1215 972 && is_dark "$1" 63 51 && is_dark "$1" 1216 972
}
await "the start-up canvas (see $shots/open-start.png)" settled open-start canvas_shown open-start

# A drag from ($1, $2) to ($3, $4) in small steps.
stroke() {
  local drag=(mousemove --sync "$1" "$2" mousedown 1 sleep 0.05) i
  for ((i = 1; i <= 60; i++)); do
    drag+=(mousemove --sync $(($1 + ($3 - $1) * i / 60)) $(($2 + ($4 - $2) * i / 60)) sleep 0.01)
  done
  drag+=(sleep 0.05 mouseup 1)
  timeout 60 xdotool "${drag[@]}" || fail "waited 60 s for xdotool to drag across the canvas"
}
# Whether shot $1 differs from shot $2.
changed_from() { ! same_as "$1" "$2"; }
# The window takes the keyboard back after each dialog; a key is sent to it.
key() {
  timeout 60 xdotool windowfocus --sync "$wid" || fail "waited 60 s for the window to take the focus"
  xdotool key "$@"
}

stroke 300 300 700 500
await "the first stroke (see $shots/open-painted.png)" \
  settled open-painted changed_from open-painted open-start

# s saves through the stand-in as a.ptg.
answer "$work/a.ptg"
key s
await "s to save the painting as a.ptg" test -s "$work/a.ptg"
await "the screen after the save (see $shots/open-saved.png)" settled open-saved true

# A second stroke; o raises the save prompt: a dark glass box centred
# (420..859, 428..595) with the ochre Save face at (740, 548).
stroke 300 700 900 350
await "the second stroke (see $shots/open-painted-again.png)" \
  settled open-painted-again changed_from open-painted-again open-saved
prompt_shown() {
  local r g b
  is_dark "$1" 640 515 || return 1
  read -r r g b < <(pixel "$1" 740 548)
  [ "$r" -gt 200 ] && [ "$g" -gt 130 ] && [ "$g" -lt 180 ] && [ "$b" -lt 100 ]
}
key o
await "o to raise the save prompt (see $shots/open-prompt.png)" settled open-prompt prompt_shown open-prompt
[ "$(dialogs)" = 1 ] || fail "a dialog came with the prompt: $(cat "$work/dialogs.log")"

# Don't save: the stand-in answers a.ptg, and the screen is the one after
# the save.
answer "$work/a.ptg"
key n
await "n to open a.ptg, the screen after the save (see $shots/open-opened.png)" \
  settled open-opened same_as open-opened open-saved
[ "$(dialogs)" = 2 ] || fail "no open dialog after the prompt"
grep -q -- '--title=Open' <(tail -n 1 "$work/dialogs.log") ||
  fail "the dialog was no open dialog: $(tail -n 1 "$work/dialogs.log")"
grep -qF -- 'Daublin Painting | *.[pP][tT][gG]' <(tail -n 1 "$work/dialogs.log") ||
  fail "the open dialog does not offer the project type: $(tail -n 1 "$work/dialogs.log")"

# n shows the new-painting panel over the blurred window: the stroke's
# picture blurred, the panel's dark glass at (420, 690).
key n
panel_shown() { changed_from "$1" open-opened && is_dark "$1" 420 690; }
await "n to show the new-painting panel (see $shots/open-new-panel.png)" \
  settled open-new-panel panel_shown open-new-panel
# 640, Tab, 480, Return, Return: a 640 x 480 painting centred, at (320, 272)
# to (959, 751).
key BackSpace BackSpace BackSpace BackSpace
xdotool type 640
key Tab BackSpace BackSpace BackSpace BackSpace
xdotool type 480
key Return
key Return
small_shown() {
  is_light "$1" 320 272 && is_light "$1" 959 272 && is_light "$1" 320 751 && is_light "$1" 959 751 &&
    is_dark "$1" 319 272 && is_dark "$1" 320 271 && is_dark "$1" 960 751 && is_dark "$1" 959 752
}
await "a 640 x 480 painting centred (see $shots/open-new-640.png)" \
  settled open-new-640 small_shown open-new-640

# A stroke; o, n, and the dialog cancelled: the painting stays, modified.
stroke 400 400 850 600
await "a stroke on the new painting (see $shots/open-small-painted.png)" \
  settled open-small-painted changed_from open-small-painted open-new-640
key o
await "o to raise the save prompt again" settled open-prompt-2 prompt_shown open-prompt-2
answer cancel
key n
await "the cancelled dialog" dialogs_are 3
await "the painting after the cancelled dialog (see $shots/open-cancelled.png)" \
  settled open-cancelled same_as open-cancelled open-small-painted
key ctrl+q
await "Ctrl+Q to raise the save prompt on the still modified painting (see $shots/open-quit-prompt.png)" \
  settled open-quit-prompt prompt_shown open-quit-prompt
kill -0 "$pid" 2>/dev/null || fail "Ctrl+Q ended the program without asking"
key Escape
await "Escape to close the prompt (see $shots/open-quit-escaped.png)" \
  settled open-quit-escaped same_as open-quit-escaped open-small-painted

# o, n, and a text file named b.ptg: one alert, which Return dismisses.
echo "these are words, not a painting" >"$work/b.ptg"
key o
await "o to raise the save prompt a third time" settled open-prompt-3 prompt_shown open-prompt-3
answer "$work/b.ptg"
key n
alert_gone() { ! is_visible "$alert"; }
await "the alert for b.ptg" any_alert
await "the alert for b.ptg drawn (see $shots/open-alert.png)" settled open-alert alert_drawn open-alert
timeout 60 xdotool windowfocus --sync "$alert" || fail "waited 60 s for the alert to take the focus"
xdotool key Return
await "Return to dismiss the alert (see $shots/open-alert.png)" alert_gone
any_alert && fail "a second alert came (see $shots/open-alert.png)"
[ "$(grep -c "This file is not a Daublin painting" "$work/stderr")" = 1 ] ||
  fail "not one alert for b.ptg: $(cat "$work/stderr")"
grep -qF "$work/b.ptg" "$work/stderr" || fail "the alert did not name b.ptg"
await "the painting as it was after the alert (see $shots/open-after-alert.png)" \
  settled open-after-alert same_as open-after-alert open-small-painted

key ctrl+q
await "Ctrl+Q to raise the save prompt at the end" settled open-end-prompt prompt_shown open-end-prompt
key n
ended "$pid" "Ctrl+Q and n to end the program"
pid=""
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "open smoke: passed"
