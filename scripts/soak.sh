#!/usr/bin/env bash
# scripts/soak.sh [minutes]: long use of the real program on a virtual X
# display of its own (1280 x 1024), run by hand, never by the test command.
# xdotool paints random strokes with every tool the number keys choose, at
# random lengths and speeds, with undo and redo, zoom out and in, saves the
# painting and opens it again (stub zenity answers the file dialogs), for
# the given minutes (30 by default). The program's resident memory is
# written each minute to build/soak/memory.txt (minute, kB) and to the
# output; a crash or a hang (no answer to a key for 60 s) ends the run with
# status 1. It builds build/release first.
#
#   bash scripts/soak.sh 30
set -u
minutes=${1:-30}
[[ "$minutes" =~ ^[0-9]+$ ]] && [ "$minutes" -gt 0 ] || {
  echo "usage: soak.sh [minutes]" >&2
  exit 2
}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# On a display of its own: build, then run this script again under Xvfb.
if [ -z "${DAUBLIN_X11_DISPLAY:-}" ] || [ "${DAUBLIN_X11_DISPLAY}" != "${DISPLAY:-}" ]; then
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-/work}
  cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
  cmake --build "$root/build/release" -j 2 --target daublin >/dev/null || exit 1
  exec bash "$root/testsupport/x11-run.sh" 1280x1024x24 bash "$0" "$minutes"
fi

fail() {
  echo "soak: FAIL: $*" >&2
  [ -n "${work:-}" ] && [ -f "$work/stderr" ] && tail -n 40 "$work/stderr" | sed 's/^/  daublin: /' >&2
  exit 1
}
source "$root/testsupport/x11-helpers.sh" # await, find_window

program="$root/build/release/bin/daublin"
[ -x "$program" ] || fail "no program at $program"
out="$root/build/soak"
mkdir -p "$out"
: >"$out/memory.txt"

work=$(mktemp -d)
export XDG_CONFIG_HOME="$work/config"
pid=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    # Asked to quit; a painting left unsaved may hold it: then killed.
    kill "$pid" 2>/dev/null
    # Five seconds' grace, looked at every tenth of a second.
    for _ in $(seq 50); do gone "$pid" && break; sleep 0.1; done
    gone "$pid" || kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# Stub zenity: the file dialogs answer the soak's painting, questions yes.
mkdir -p "$work/bin"
cat >"$work/bin/zenity" <<EOF
#!/bin/sh
case "\$*" in
  *--file-selection*) echo "$work/soak.ptg" ;;
  *--question*) exit 0 ;;
  *) exit 1 ;;
esac
EOF
chmod 755 "$work/bin/zenity"
export PATH="$work/bin:$PATH"

"$program" 2>"$work/stderr" &
pid=$!
await "a visible window titled Daublin" find_window '^Daublin$'
wid=$found
timeout 5 xdotool windowfocus --sync "$wid" || fail "waited 5 s for the window to take the focus"
sleep 1

rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2>/dev/null; }
alive() { kill -0 "$pid" 2>/dev/null || fail "the program ended (status $(wait "$pid"; echo $?))"; }
# A command to xdotool, bounded: 60 s without an answer is a hang.
x() { timeout 60 xdotool "$@" || { alive; fail "xdotool waited 60 s on: $*"; }; }

# A stroke of random length and speed inside the canvas's middle.
stroke() {
  local x0=$((350 + RANDOM % 600)) y0=$((250 + RANDOM % 550)) n=$((5 + RANDOM % 60)) i
  local dx=$((RANDOM % 13 - 6)) dy=$((RANDOM % 13 - 6)) args
  args=(mousemove --sync "$x0" "$y0" mousedown 1)
  for ((i = 1; i <= n; i++)); do
    local px=$((x0 + dx * i + RANDOM % 5 - 2)) py=$((y0 + dy * i + RANDOM % 5 - 2))
    ((px < 320)) && px=320
    ((px > 980)) && px=980
    ((py < 220)) && py=220
    ((py > 830)) && py=830
    args+=(mousemove "$px" "$py" sleep "0.0$((RANDOM % 3))")
  done
  args+=(mouseup 1)
  x "${args[@]}"
}

start=$(date +%s)
minute=0
zoom=0
strokes=0 undos=0 redos=0 zooms=0 saves=0 opens=0
echo "0 $(rss)" | tee -a "$out/memory.txt"
while :; do
  now=$(date +%s)
  if ((now - start >= (minute + 1) * 60)); then
    minute=$((minute + 1))
    alive
    echo "$minute $(rss)" | tee -a "$out/memory.txt"
    ((minute >= minutes)) && break
  fi
  x windowfocus --sync "$wid"
  case $((RANDOM % 20)) in
  0 | 1) x key "$((1 + RANDOM % 7))" ;;
  2 | 3) x key z; undos=$((undos + 1)) ;;
  4) x key shift+z; redos=$((redos + 1)) ;;
  5) x key y; redos=$((redos + 1)) ;;
  6)
    # Between a half and four times, so that most strokes land on the canvas.
    if ((RANDOM % 2 == 0 && zoom > -1)); then
      x key F7; zoom=$((zoom - 1))
    elif ((zoom < 2)); then
      x key F8; zoom=$((zoom + 1))
    fi
    zooms=$((zooms + 1))
    ;;
  7)
    if ((RANDOM % 4 == 0)); then
      # Saved, then opened again: unmodified, so no prompt comes first.
      x key s
      await "the save to finish" test -s "$work/soak.ptg"
      sleep 1
      x windowfocus --sync "$wid"
      x key o
      sleep 2
      saves=$((saves + 1)) opens=$((opens + 1))
    else
      stroke; strokes=$((strokes + 1))
    fi
    ;;
  *) stroke; strokes=$((strokes + 1)) ;;
  esac
  alive
done
import -window root "$out/last.png" 2>/dev/null
echo "soak: $minutes min, $strokes strokes, $undos undos, $redos redos, $zooms zooms," \
  "$saves saves and reopens; resident memory in kB by minute in $out/memory.txt"
