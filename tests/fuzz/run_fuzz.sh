#!/bin/bash
# Builds the JSON reader's libFuzzer target with clang (ASan and UBSan) into a build folder and
# runs it for a short, fixed budget from the committed seed corpus; fails on any crash, sanitizer
# report or failed check (the failing input is left in the build folder as crash-*).
#
#   tests/fuzz/run_fuzz.sh <build-dir> [seconds]          default 20 seconds
#
# For a longer run give more seconds, e.g. an hour: tests/fuzz/run_fuzz.sh /work/build-fuzz 3600
# A crash is replayed with: <build-dir>/json_fuzz <build-dir>/crash-<hash>
set -euo pipefail

if [[ $# -lt 1 || $# -gt 2 ]]; then
  echo "usage: $0 <build-dir> [seconds]" >&2
  exit 2
fi
build_dir=$(realpath -m "$1")
seconds=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

mkdir -p "$build_dir"
clang++-14 -std=c++17 -O1 -g -Wall -Wextra -I"$root" \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer \
  "$here/json_fuzz.cpp" "$root/engine/json.cpp" -o "$build_dir/json_fuzz"

# New inputs go to a scratch corpus so the committed seeds stay as they are.
work_corpus="$build_dir/json_fuzz_corpus"
rm -rf "$work_corpus"
mkdir -p "$work_corpus"
log="$build_dir/json_fuzz.log"
if "$build_dir/json_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
  -rss_limit_mb=2048 -dict="$here/json.dict" -artifact_prefix="$build_dir/" \
  -print_final_stats=1 "$work_corpus" "$here/corpus" >"$log" 2>&1; then
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "json_fuzz: no failure in ${seconds} s (${runs:-?} inputs; log: $log)"
else
  tail -n 40 "$log" >&2
  echo "json_fuzz: FAILED (log: $log)" >&2
  exit 1
fi
