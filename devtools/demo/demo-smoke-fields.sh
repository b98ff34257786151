# The edit fields' checks of the widgets demo's smoke test, sourced by
# demo-smoke.sh with its helpers (fail, await, shoot, pixel) in the window
# $wid, whose standard output is $out. The places are those of
# demo-fields.yaml: "Size" (numeric, real numbers, at most 6 characters)
# at 60,900 and "Name" at 240,900, each 160 x 28 on a flat 0xF4F0E6 image.
#   - a click in Size, "12a.5" typed and Return print "confirm Size 12.5"
#     (the letter is refused);
#   - a click in Name, "café" typed and Return print "confirm Name café";
#   - Ctrl+A selects it: its background shows inverted (0x0B0F19), and the
#     screenshot of the fields is kept; Ctrl+C puts "café" on the
#     clipboard, which xclip reads back;
#   - "7" LF "8" put on the clipboard by xclip, Ctrl+A and Ctrl+V in Size
#     and Return print "confirm Size 7" (the paste is cut at its LF);
#   - Escape in Size prints "cancel Size 7" and the demo keeps running.

command -v xclip >/dev/null || fail "xclip is missing (scripts/install-deps.sh installs it)"
command -v xmodmap >/dev/null || fail "xmodmap is missing (scripts/install-deps.sh installs it)"
timeout 60 xdotool windowfocus --sync "$wid" || fail "waited 60 s for the window to take the focus"

# said <line>: whether the demo printed exactly that line.
said() { grep -qxF "$1" "$out"; }

xdotool mousemove --window "$wid" 140 914 click 1 || fail "xdotool could not click the Size field"
xdotool type --delay 30 "12a.5"
xdotool key Return
await "\"confirm Size 12.5\" on the demo's standard output (see $out)" said "confirm Size 12.5"

# The display's keymap has no é: xdotool would bind it to a spare key for
# the one keystroke and take it back at once, which a loaded program reads
# after, finding no character. A spare key of its own keeps it.
spare=$(xmodmap -pke | awk 'NF == 3 { print $2; exit }')
[ -n "$spare" ] && xmodmap -e "keycode $spare = eacute" ||
  fail "no spare key on the display for é"
xdotool mousemove --window "$wid" 320 914 click 1 || fail "xdotool could not click the Name field"
xdotool type --delay 30 "café"
xdotool key Return
await "\"confirm Name café\" on the demo's standard output (see $out)" said "confirm Name café"

xdotool key ctrl+a
fields="$shots/demo-fields.png"
# The selection: the field's light image inverted behind the text.
selected() {
  shoot "$wid" "$full.fields.png"
  local n
  n=$(convert "$full.fields.png" -crop 160x28+240+900 +repage -depth 8 txt:- 2>/dev/null |
    grep -c '#0B0F19')
  [ "$n" -ge 60 ]
}
await "the Name field's text drawn selected (0x0B0F19 behind it)" selected
convert "$full.fields.png" -crop 380x110+40+880 +repage "$fields" 2>/dev/null ||
  fail "cannot keep the fields' part of the screenshot"
rm -f "$full.fields.png"

xdotool key ctrl+c
copied() { [ "$(xclip -o -selection clipboard 2>/dev/null)" = "café" ]; }
await "\"café\" on the clipboard after Ctrl+C (xclip -o read \"$(xclip -o -selection clipboard 2>/dev/null)\")" copied

printf '7\n8' | xclip -selection clipboard || fail "xclip could not put a text on the clipboard"
# xclip serves the text from a process of its own once it holds the
# clipboard; a paste before then, on a loaded machine, finds it empty.
serving() { [ "$(xclip -o -selection clipboard 2>/dev/null | head -n 1)" = 7 ]; }
await "xclip to hold \"7\" LF \"8\" on the clipboard" serving
# SDL waits a second for another program's clipboard and then pastes
# nothing, which a loaded machine can make xclip miss: the field then
# confirms its old value, and the paste is tried again, up to three times.
confirmed() { grep -c '^confirm Size' "$out"; }
for try in 1 2 3; do
  before=$(confirmed)
  xdotool mousemove --window "$wid" 140 914 click 1 || fail "xdotool could not click the Size field"
  xdotool key ctrl+a ctrl+v Return
  more_confirmed() { [ "$(confirmed)" -gt "$before" ]; }
  await "a confirmation of Size after the paste (see $out)" more_confirmed
  said "confirm Size 7" && break
done
said "confirm Size 7" || fail "three pastes did not confirm Size 7 (see $out)"

xdotool key Escape
await "\"cancel Size 7\" on the demo's standard output (see $out)" said "cancel Size 7"
kill -0 "$pid" 2>/dev/null || fail "the demo ended after Escape in a field"
