#!/usr/bin/env bash
# scripts/fuzz.sh [minutes] [target...]: fuzzes the readers of outside bytes,
# run by hand, never by the test command or CI. It configures the clang
# fuzzing tree build/fuzz (README), builds the targets, writes their seeds
# with the program's own writers (and the damaged project files of the
# project file's tests), then runs each target for the given minutes (1 by
# default) with -rss_limit_mb=2048 and a per-input timeout, at most
# nproc / 2 at once, each going on past what it finds. Every report of
# the address, undefined behaviour and leak sanitizers is a finding: the
# tree is built with -fno-sanitize-recover=all and the targets run with
# UBSAN_OPTIONS=halt_on_error=1, so the undefined behaviour sanitizer ends
# the input as the address sanitizer does and libFuzzer saves it. It
# prints each target's executions, coverage and findings; the findings
# stay in build/fuzz/findings/<target>/, the grown corpus in
# build/fuzz/corpus/; DAUBLIN_FUZZ_BUILD_JOBS sets the build's parallel
# jobs (nproc / 2).
#
# --self-check builds fuzz_self_check, a target with a planted signed
# overflow, runs it for 15 s as the readers run, and exits 0 only when a
# finding it saved replays as that overflow.
#
#   bash scripts/fuzz.sh 10                  every target, 10 minutes each
#   bash scripts/fuzz.sh 2 fuzz_wav_read     one target
#   bash scripts/fuzz.sh --self-check        are sanitizer reports kept?
set -u
all=(fuzz_project_load fuzz_resource_blocks fuzz_font_block fuzz_string_table fuzz_wav_read
  fuzz_image_read fuzz_data_pipe fuzz_prefs_read)
usage="usage: fuzz.sh [minutes] [target...] | fuzz.sh --self-check; targets: ${all[*]}"
self_check=0
if [ "${1:-}" = --self-check ]; then
  [ $# -eq 1 ] || {
    echo "$usage" >&2
    exit 2
  }
  self_check=1
  seconds=15
  targets=(fuzz_self_check)
else
  minutes=${1:-1}
  [[ "$minutes" =~ ^[0-9]+$ ]] && [ "$minutes" -gt 0 ] || {
    echo "$usage" >&2
    exit 2
  }
  seconds=$((minutes * 60))
  shift $(($# > 0 ? 1 : 0))
  targets=("$@")
  [ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")
  for t in "${targets[@]}"; do
    [[ " ${all[*]} " == *" $t "* ]] || {
      echo "fuzz.sh: no target $t; targets: ${all[*]}" >&2
      exit 2
    }
  done
fi

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tree="$root/build/fuzz"
jobs=$(($(nproc) / 2))
((jobs > 0)) || jobs=1
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-/work}

# No sanitizer carries on past its report.
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
CC=clang CXX=clang++ cmake -S "$root" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined >/dev/null || exit 1
need_project_samples=0
[[ " ${targets[*]} " == *" fuzz_project_load "* ]] && need_project_samples=1
build=("${targets[@]}")
((self_check)) || build+=(fuzz_corpus_seeds)
((need_project_samples)) && build+=(paint_project_tests)
ninja -C "$tree" -j "${DAUBLIN_FUZZ_BUILD_JOBS:-$jobs}" "${build[@]}" >"$tree/fuzz-build.log" 2>&1 || {
  tail -n 30 "$tree/fuzz-build.log" >&2
  echo "fuzz.sh: the build failed; see $tree/fuzz-build.log" >&2
  exit 1
}
if ((need_project_samples)); then
  # The project file's tests keep every file they save and damage.
  DAUBLIN_PTG_SAMPLES="$tree/seeds/project" ASAN_OPTIONS=detect_leaks=0 \
    "$tree/tests/paint_project_tests" --gtest_filter='ProjectFile*' >"$tree/fuzz-samples.log" 2>&1 ||
    echo "fuzz.sh: the project file's tests failed; their samples may be missing" >&2
  rm -f "$tree/seeds/project/"*.reason
fi

# <target> <seed folder> <options...>
options() {
  case $1 in
  fuzz_project_load) echo "project -max_len=524288 -timeout=30" ;;
  fuzz_resource_blocks) echo "resource_blocks -max_len=65536 -timeout=20" ;;
  fuzz_font_block) echo "font_block -max_len=1048576 -timeout=20" ;;
  fuzz_string_table) echo "string_table -max_len=65536 -timeout=10" ;;
  fuzz_wav_read) echo "wav_read -max_len=65536 -timeout=10" ;;
  # An image's whole block is allocated up front and filled lazily (README).
  fuzz_image_read) echo "image_read -max_len=4096 -timeout=10 -malloc_limit_mb=8192" ;;
  fuzz_data_pipe) echo "data_pipe -max_len=65536 -timeout=10" ;;
  fuzz_prefs_read) echo "prefs_read -max_len=4096 -timeout=10" ;;
  fuzz_self_check) echo "- -max_len=64 -timeout=10" ;;
  esac
}

# The sanitizers' settings for a target and for a finding replayed: leaks
# are looked for, and each report, with its stack, ends the process through
# the sanitizer's own exit (not abort), where libFuzzer saves the input.
sanitizer_env=(ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:abort_on_error=0)

run() {
  local t=$1 seeds opts
  read -r seeds opts <<<"$(options "$t")"
  local corpus="$tree/corpus/$t" findings="$tree/findings/$t"
  mkdir -p "$corpus" "$findings"
  local dirs=("$corpus")
  [ "$seeds" != - ] && [ -d "$tree/seeds/$seeds" ] && dirs+=("$tree/seeds/$seeds")
  # shellcheck disable=SC2086
  (cd "$findings" && env "${sanitizer_env[@]}" "$tree/bench/$t" -fork=1 -ignore_crashes=1 \
    -ignore_timeouts=1 -ignore_ooms=1 -rss_limit_mb=2048 $opts \
    -max_total_time="$seconds" -artifact_prefix="$findings/" "${dirs[@]}" \
    >"$tree/logs/$t.log" 2>&1)
}

mkdir -p "$tree/logs"
if ((self_check)); then
  t=fuzz_self_check
  rm -rf "$tree/corpus/$t" "$tree/findings/$t"
  echo "fuzz.sh: self-check, $t for $seconds s"
  run "$t"
  for crash in "$tree/findings/$t"/crash-*; do
    [ -f "$crash" ] || continue
    if env "${sanitizer_env[@]}" "$tree/bench/$t" "$crash" 2>&1 |
      grep -q 'FuzzSelfCheck.cpp:[0-9:]*: runtime error: signed integer overflow'; then
      echo "fuzz.sh: self-check passed: the planted signed overflow was saved as $crash"
      exit 0
    fi
  done
  echo "fuzz.sh: self-check FAILED: the planted signed overflow was not saved as a finding" \
    "in $tree/findings/$t/ (an undefined behaviour report would be lost); see $tree/logs/$t.log" >&2
  exit 1
fi

echo "fuzz.sh: ${#targets[@]} targets, $minutes min each, $jobs at once"
running=0
for t in "${targets[@]}"; do
  run "$t" &
  running=$((running + 1))
  if ((running >= jobs)); then
    wait -n
    running=$((running - 1))
  fi
done
wait

printf '%-22s %12s %10s %10s  %s\n' target executions coverage features findings
for t in "${targets[@]}"; do
  log="$tree/logs/$t.log"
  last=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -n 1)
  execs=$(sed -E 's/^#([0-9]+).*/\1/' <<<"$last")
  cov=$(sed -nE 's/.*cov: ([0-9]+).*/\1/p' <<<"$last")
  ft=$(sed -nE 's/.*ft: ([0-9]+).*/\1/p' <<<"$last")
  found=$(find "$tree/findings/$t" -maxdepth 1 -type f \
    \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  printf '%-22s %12s %10s %10s  %s\n' "$t" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$found"
done
echo "every AddressSanitizer, UndefinedBehaviorSanitizer and leak report is saved as a finding"
echo "logs: $tree/logs/<target>.log; findings: $tree/findings/<target>/"
