#!/usr/bin/env bash
# Runs the real program on a virtual X display (1280 x 1024) and drives it
# with xdotool: the window "Daublin" fills the screen, F8 makes it a centred
# window of 80 % of the screen, Escape quits with status 0. A start with a
# damaged resource file shows its alert, which Return dismisses, and ends
# with a non-zero status and no process left behind.
# Usage: smoke.sh <path of the daublin program>
set -u
[ -n "${DAUBLIN_SMOKE_TRACE:-}" ] && set -x

program=$(readlink -f "$1")
if [ -z "${DAUBLIN_SMOKE_DISPLAY:-}" ]; then
  export DAUBLIN_SMOKE_DISPLAY=1
  exec timeout -k 5 150 xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    bash "$0" "$program"
fi

# X11's own libraries keep memory to the end; only the smoke run ignores
# leaks.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
unset SDL_VIDEODRIVER

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do
    for child in $(pgrep -P "$p" 2>/dev/null); do kill -9 "$child" 2>/dev/null; done
    kill -9 "$p" 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Waits up to $2 tenths of a second for process $1 to end; its status, or
# 124 when it still runs.
wait_exit() {
  local pid=$1 tenths=$2
  for ((i = 0; i < tenths; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    return 124
  fi
  wait "$pid"
}

# Waits up to 10 s for the window's geometry to be "$2,$3 $4x$5".
expect_geometry() {
  local wid=$1 want="$2,$3 $4x$5" got=""
  for ((i = 0; i < 100; i++)); do
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    got="$X,$Y ${WIDTH}x$HEIGHT"
    [ "$got" = "$want" ] && return 0
    sleep 0.1
  done
  fail "window at $got, expected $want"
}

# 1. A normal run.
"$program" &
pid=$!
pids+=("$pid")
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Daublin$' | head -1)
[ -n "$wid" ] || fail "no window titled Daublin"
expect_geometry "$wid" 0 0 1280 1024
xdotool windowfocus --sync "$wid" || fail "cannot focus the window"
xdotool key F8
expect_geometry "$wid" 128 102 1024 819
xdotool key Escape
wait_exit "$pid" 100
status=$?
[ "$status" -eq 0 ] || fail "Escape ended the program with status $status"

# 2. A damaged resource file.
mkdir -p "$work/Resources"
cp "$program" "$work/daublin"
head -c 4096 /dev/zero | tr '\0' '\377' >"$work/Resources/system.vrf"
"$work/daublin" 2>"$work/stderr" &
pid=$!
pids+=("$pid")
xdotool mousemove 640 512
status=124
for ((i = 0; i < 40; i++)); do
  sleep 0.5
  xdotool key Return
  wait_exit "$pid" 1
  status=$?
  [ "$status" -ne 124 ] && break
done
[ "$status" -ne 124 ] || fail "the alert was not dismissed"
[ "$status" -ne 0 ] || fail "a failed start-up ended with status 0"
grep -q "Error." "$work/stderr" || fail "no alert was shown"
if pgrep -f "$work/" >/dev/null; then
  fail "a process was left behind"
fi
echo "smoke: passed"
