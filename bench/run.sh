#!/bin/bash
# Configures an optimised build without sanitizers in <build-dir>, builds the JSON benchmark
# and runs it; further arguments go to the benchmark (e.g. --benchmark_filter=small).
#
#   bench/run.sh <build-dir> [benchmark options...]
set -euo pipefail

if [[ $# -lt 1 ]]; then
  echo "usage: $0 <build-dir> [benchmark options...]" >&2
  exit 2
fi
build_dir=$1
shift
root=$(cd "$(dirname "$0")/.." && pwd)

cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUENDARI_SANITIZE=OFF \
  -DQUENDARI_BENCHMARK=ON >/dev/null
cmake --build "$build_dir" --target json_bench -j2 >/dev/null
"$build_dir/bench/json_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_min_time=0.5 "$@"
