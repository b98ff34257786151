#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice:
# an optimised build, and a debug build under AddressSanitizer and
# UndefinedBehaviorSanitizer; then the test programs that run threads under
# ThreadSanitizer. Any failure fails the whole run.
#
# scripts/test.sh --quick [label]: the loop while working. Builds the
# optimised tree only and runs the tests of one ctest label (every test
# without a label); installs nothing and runs no sanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
if [[ ${1:-} == --quick ]]; then
  if (($# > 2)); then
    echo "usage: scripts/test.sh [--quick [label]]" >&2
    exit 2
  fi
  cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build/release -j "$jobs"
  if [[ -n ${2:-} ]]; then
    exec ctest --test-dir build/release --output-on-failure -j "$jobs" --timeout 300 -L "$2"
  fi
  exec ctest --test-dir build/release --output-on-failure -j "$jobs" --timeout 300
elif (($# > 0)); then
  echo "usage: scripts/test.sh [--quick [label]]" >&2
  exit 2
fi
bash scripts/install-deps.sh
run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300
}

echo "== Release build and tests"
run_suite build/release -DCMAKE_BUILD_TYPE=Release
echo "== Debug build with AddressSanitizer and UndefinedBehaviorSanitizer"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite build/asan -DCMAKE_BUILD_TYPE=Debug -DDAUBLIN_SANITIZE=ON -DDAUBLIN_BENCHMARKS=OFF
echo "== The test programs that run threads (sound playback, relight, project file) under ThreadSanitizer"
tsan="-fsanitize=thread"
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDAUBLIN_BENCHMARKS=OFF \
  -DCMAKE_C_FLAGS="$tsan" -DCMAKE_CXX_FLAGS="$tsan" -DCMAKE_EXE_LINKER_FLAGS="$tsan" >/dev/null
cmake --build build/tsan -j "$jobs" --target platform_sound_tests paint_relight_tests paint_project_tests
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/tsan -L 'platform_sound|paint_relight|paint_project' --output-on-failure \
  -j "$jobs" --timeout 300
