# The text widgets' checks of the widgets demo's smoke test, sourced by
# demo-smoke.sh with its helpers (fail) and its full-window screenshot in
# $full. The places are those of demo-texts.yaml and DemoTexts.h:
#   - the title "Daublin Widgets Demo" (DejaVu Sans Bold, 15 px, 0xECE6DA
#     at 40,12): in its rectangle (the title's line, 240 x 24 from 36,8)
#     at least 8 columns hold a stem, a vertical run of 8 or more pixels in
#     exactly 0xECE6DA, as fully covered pixels of the text colour are;
#   - the label the code turns by 90 degrees (at 730,680, right of the
#     paragraph on the dark panel 0x26241F): everything not the panel's
#     colour right of the paragraph is taller than it is wide;
#   - the captioned image (a flat 0x4A7FB5 image, 160 x 40 at 470,880): as
#     many columns left of its caption's first inked column as right of the
#     last, within one; a column is inked where a pixel is not the image's
#     colour.
# The dark panel's part of the screenshot is kept beside it.

# ink_box <file> <crop WxH+X+Y> <is|not> <RRGGBB>: sets $box to "left top
# right bottom stems" of the pixels in (is) or not in (not) the colour,
# relative to the crop; stems counts the columns with a vertical run of 8
# or more of them. Fails when there are none.
box=""
ink_box() {
  box=$(convert "$1" -crop "$2" +repage -depth 8 txt:- 2>/dev/null |
    awk -v mode="$3" -v colour="#$4" '
      NR > 1 {
        split($1, xy, "[,:]")
        x = xy[1]; y = xy[2]
        hit = index(toupper($3), colour) == 1
        if (mode == "not") hit = !hit
        if (!hit) next
        run[x] = ((x in last) && last[x] == y - 1) ? run[x] + 1 : 1
        last[x] = y
        if (run[x] > longest[x]) longest[x] = run[x]
        if (l == "" || x < l) l = x
        if (x > r) r = x
        if (t == "" || y < t) t = y
        if (y > b) b = y
      }
      END {
        if (l == "") exit
        n = 0
        for (x in longest) if (longest[x] >= 8) n++
        print l, t, r, b, n
      }')
  [ -n "$box" ] || fail "no pixel $3 #$4 in $2 of $1"
}

ink_box "$full" 240x24+36+8 is ECE6DA
read -r _ _ _ _ stems <<<"$box"
[ "$stems" -ge 8 ] ||
  fail "the title shows $stems stems in exactly ECE6DA, not 8 or more (see $full)"

ink_box "$full" 140x290+680+660 not 26241F
read -r l t r b _ <<<"$box"
[ $((b - t)) -gt $((r - l)) ] ||
  fail "the turned label's ink ($l,$t to $r,$b right of the paragraph) is not taller than wide (see $full)"

ink_box "$full" 160x40+470+880 not 4A7FB5
read -r l _ r _ _ <<<"$box"
right=$((159 - r))
[ $((l - right)) -le 1 ] && [ $((right - l)) -le 1 ] ||
  fail "the caption is not centred on its image: $l columns left of it, $right right (see $full)"

convert "$full" -crop 370x290+450+660 +repage "$shots/demo-texts.png" 2>/dev/null ||
  fail "cannot keep the text widgets' part of $full"
