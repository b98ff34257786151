# The widget inspector's checks of the widgets demo's smoke test, sourced by
# demo-smoke.sh with its helpers (fail, await, shoot, pixel, expect_pixel)
# in the window $wid of 1280 x 1024:
#   - the pointer moved onto the opaque panel, Ctrl+Shift held, a left press,
#     Alt held and the release, all sent at once with no pause between them,
#     open the inspector: 600 x 450, centred (340,287), its background
#     0xA0A0B8 at 300,48 of it, the find field 0xBEBECE at 245,37 and the
#     "By ID" button 0x6E6E7E at 403,40; its screenshot is kept as
#     demo-inspector.png;
#   - Escape closes it and the demo keeps running: the next screenshot
#     equals the one before it was opened, outside the edit fields (their
#     caret blinks).

timeout 60 xdotool windowfocus --sync "$wid" || fail "waited 60 s for the window to take the focus"
before="$shots/demo-before-inspector.png"
# without_fields <in> <out>: the picture with the edit fields blacked out.
without_fields() {
  convert "$1" -fill black -draw "rectangle 50,890 410,938" "$2" 2>/dev/null ||
    fail "cannot mask the edit fields of $1"
}
# Whether two screenshots are the same outside the edit fields.
same_outside_fields() {
  without_fields "$1" "$shots/.first-masked.png"
  without_fields "$2" "$shots/.second-masked.png"
  [ "$(compare -metric AE "$shots/.first-masked.png" "$shots/.second-masked.png" null: 2>&1)" = 0 ]
}
# The demo at rest: two screenshots in a row the same outside the fields.
at_rest() {
  shoot "$wid" "$before.next.png"
  if [ -f "$before" ] && same_outside_fields "$before" "$before.next.png"; then
    rm -f "$before.next.png"
    return 0
  fi
  mv "$before.next.png" "$before"
  return 1
}
rm -f "$before"
await "the demo at rest before the inspector (see $before)" at_rest
xdotool mousemove --window "$wid" 100 80 keydown ctrl+shift mousedown 1 keydown alt mouseup 1 \
  keyup alt keyup ctrl+shift || fail "xdotool could not send the inspector's gesture"
inspector="$shots/demo-inspector.png"
left=340
top=287
# The panel is drawn in steps, its background before its fields and
# buttons: it is open once the background, the find field and the "By ID"
# button all show.
inspector_open() {
  shoot "$wid" "$inspector"
  local back field button
  back=$(pixel "$inspector" $((left + 300)) $((top + 48)))
  field=$(pixel "$inspector" $((left + 245)) $((top + 37)))
  button=$(pixel "$inspector" $((left + 403)) $((top + 40)))
  await_said="background $back, find field $field, \"By ID\" $button"
  [ "$back" = A0A0B8 ] && [ "$field" = BEBECE ] && [ "$button" = 6E6E7E ]
}
await "the inspector panel over the demo, drawn whole (see $inspector)" inspector_open
expect_pixel "$inspector" $((left + 245)) $((top + 37)) BEBECE "the inspector's find field"
expect_pixel "$inspector" $((left + 403)) $((top + 40)) 6E6E7E "the inspector's \"By ID\" button"
# Its black border: the pixel left of it and above it is the demo's.
expect_pixel "$inspector" $((left + 1)) $((top + 100)) 000000 "the inspector's left border"
expect_pixel "$inspector" $((left + 598)) $((top + 100)) 000000 "the inspector's right border"
expect_pixel "$inspector" $((left + 300)) $((top + 448)) 000000 "the inspector's bottom border"

xdotool key Escape
after="$shots/demo-after-inspector.png"
closed() {
  shoot "$wid" "$after"
  same_outside_fields "$before" "$after"
}
await "the demo as it was before the inspector, outside the edit fields (see $before and $after)" closed
rm -f "$shots/.first-masked.png" "$shots/.second-masked.png"
kill -0 "$pid" 2>/dev/null || fail "the demo ended after the inspector closed"
