#!/usr/bin/env bash
# scripts/stress-x11.sh [runs]: the tests under a virtual X display (ctest
# label x11) run back to back, <runs> times (3 by default) in the optimised
# build and in the sanitizer build while the machine is loaded with two
# busy processes per core (started here and ended here, whatever happens),
# then once more in each build on an idle machine. Prints each run's result
# and, per script, the longest single wait of its steps; exits non-zero when
# any run failed. Run it before touching an Xvfb script.
#
# It builds both trees first as scripts/test.sh does (build/release and
# build/asan); the logs stay in build/stress-x11/.
set -u
runs=${1:-3}
[[ "$runs" =~ ^[0-9]+$ ]] && [ "$runs" -gt 0 ] || {
  echo "usage: stress-x11.sh [runs]" >&2
  exit 2
}
cd "$(dirname "$0")/.."
jobs=$(nproc)
out=build/stress-x11
rm -rf "$out"
mkdir -p "$out"

build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null && cmake --build "$dir" -j "$jobs" >"$out/build-$(basename "$dir").log" 2>&1 || {
    echo "stress-x11: the build of $dir failed; see $out/build-$(basename "$dir").log" >&2
    exit 1
  }
}
build build/release -DCMAKE_BUILD_TYPE=Release
build build/asan -DCMAKE_BUILD_TYPE=Debug -DDAUBLIN_SANITIZE=ON -DDAUBLIN_BENCHMARKS=OFF

busy=()
unload() {
  local p
  for p in "${busy[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${busy[@]}"; do wait "$p" 2>/dev/null; done
  busy=()
}
trap unload EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
load() {
  local i
  for ((i = 0; i < 2 * jobs; i++)); do
    bash -c 'while :; do :; done' &
    busy+=($!)
  done
}

failures=0
results=()
# one <build> <loaded|idle> <n>: one run of the label; its line in $results.
one() {
  local tree=$1 state=$2 n=$3 name log waits start seconds verdict
  name="$(basename "$tree")-$state-$n"
  log="$out/$name.log"
  waits="$out/$name.waits"
  : >"$waits"
  start=$SECONDS
  if [ "$(basename "$tree")" = asan ]; then
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  else
    unset ASAN_OPTIONS UBSAN_OPTIONS
  fi
  if DAUBLIN_X11_WAITS="$PWD/$waits" ctest --test-dir "$tree" -L x11 --output-on-failure \
    -j "$jobs" --timeout 600 >"$log" 2>&1; then
    verdict=passed
  else
    verdict="FAILED: $(grep -E '^\s+[0-9]+ - ' "$log" | sed -E 's/^\s+[0-9]+ - //' | tr '\n' ' ')"
    failures=$((failures + 1))
  fi
  seconds=$((SECONDS - start))
  results+=("$(printf '%-8s %-7s %3d  %5d s  %s' "$(basename "$tree")" "$state" "$n" "$seconds" "$verdict")")
  echo "${results[-1]}"
}

echo "stress-x11: $runs loaded runs of each build ($((2 * jobs)) busy processes), then one idle run of each"
load
for ((n = 1; n <= runs; n++)); do
  one build/release loaded "$n"
  one build/asan loaded "$n"
done
unload
one build/release idle 1
one build/asan idle 1

echo
echo "longest wait of a step, per build and script (ms):"
for tree in release asan; do
  cat "$out/$tree"-*.waits 2>/dev/null |
    awk -v tree="$tree" '$2 > max[$1] { max[$1] = $2; what[$1] = substr($0, index($0, $3)) }
      END { for (s in max) printf "  %-8s %-16s %7d  %s\n", tree, s, max[s], what[s] }' | sort
done
echo
echo "$((2 * runs + 2)) runs, $failures failed; logs in $out/"
((failures == 0))
