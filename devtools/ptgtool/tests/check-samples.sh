#!/usr/bin/env bash
# Runs the project-file tests so that they keep every file they saved and
# every damaged file they made, then checks each with ptgtool: a saved one
# must validate, a damaged one must fail with the reason kept beside it.
#   check-samples.sh PTGTOOL PROJECT_TESTS FOLDER
set -uo pipefail
tool=$1 tests=$2 folder=$3
rm -rf "$folder"
mkdir -p "$folder"
if ! DAUBLIN_PTG_SAMPLES="$folder" "$tests" \
    --gtest_filter='*RoundTrip*:*DamagedFiles*:*HugeChunk*' >"$folder/tests.log" 2>&1; then
  echo "the project-file tests failed:"; cat "$folder/tests.log"; exit 1
fi
failed=0 saved=0 damaged=0
for file in "$folder"/*.ptg; do
  reason_file=${file%.ptg}.reason
  out=$("$tool" validate "$file"); status=$?
  if [[ -f $reason_file ]]; then
    damaged=$((damaged + 1))
    reason=$(<"$reason_file")
    if [[ $status -ne 1 || $out != *"$reason"* ]]; then
      echo "FAIL ${file##*/}: expected exit 1 and \"$reason\", got $status:"; echo "$out"
      failed=1
    fi
  else
    saved=$((saved + 1))
    if [[ $status -ne 0 ]]; then
      echo "FAIL ${file##*/}: a saved project does not validate:"; echo "$out"; failed=1
    fi
    if ! "$tool" info "$file" >/dev/null; then
      echo "FAIL ${file##*/}: info failed"; failed=1
    fi
  fi
done
echo "$saved saved and $damaged damaged projects checked"
if [[ $saved -lt 4 || $damaged -lt 20 ]]; then
  echo "FAIL: too few samples"; failed=1
fi
exit $failed
