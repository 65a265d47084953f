#!/bin/bash
# Builds Quendari.exe, the stand-in runtime and the start-up benchmark in a configured Windows
# build folder and runs the benchmark under Wine in that folder's prefix; further arguments go
# to the driver (e.g. --runs 30). Use a MinSizeRel build: that is what ships. With --compare,
# another build's Quendari.exe runs in every round too (see startup_bench.cpp).
#
#   bench/startup/run.sh <build-dir> [--runs N] [--compare <other Quendari.exe>]
#
# The driver changes the runtime's registry entry in the prefix while it runs: don't run the
# Windows tests of the same build folder at the same time.
set -euo pipefail

if [[ $# -lt 1 ]]; then
  echo "usage: $0 <build-dir> [--runs N] [--compare <other Quendari.exe>]" >&2
  exit 2
fi
build_dir=$1
shift
root=$(cd "$(dirname "$0")/../.." && pwd)

cmake --build "$build_dir" --target quendari standin_runtime startup_minimal_window startup_bench \
  -j2 >/dev/null
arguments=()
while [[ $# -gt 0 ]]; do
  if [[ $1 == --compare && $# -ge 2 ]]; then
    # Wine's drive Z: is the Linux root.
    other=$(realpath "$2")
    arguments+=(--compare "Z:${other//\//\\}")
    shift 2
  else
    arguments+=("$1")
    shift
  fi
done
exec "$root/tools/wine/run" "$build_dir" "$build_dir/bench/startup/startup_bench.exe" "${arguments[@]}"
