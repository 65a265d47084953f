#!/usr/bin/env bash
# Sets up the machine and runs every test: the formatting check, the engine core natively under
# AddressSanitizer and UndefinedBehaviorSanitizer, the page scripts in headless Chromium, the
# Windows side under Wine and Xvfb, and the JSON fuzzer for a short budget. Exits non-zero when
# any of them fails.
set -uo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh || exit 1

build=${QUENDARI_BUILD_DIR:-build}
jobs=$(nproc)
failed=()
step() {
  local name=$1; shift
  echo "== $name"
  "$@" || failed+=("$name")
}

# Every tracked C++ file as .clang-format lays it out.
step "format" bash -c "git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror"

step "host configure" cmake -S . -B "$build/host" -G Ninja -DQUENDARI_SANITIZE=ON
step "host build" cmake --build "$build/host" -j "$jobs"
step "host tests" ctest --test-dir "$build/host" --output-on-failure -j "$jobs"

step "windows configure" cmake -S . -B "$build/windows" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
step "windows build" cmake --build "$build/windows" -j "$jobs"
step "windows tests" ctest --test-dir "$build/windows" --output-on-failure -j "$jobs"

step "fuzz" tests/fuzz/run_fuzz.sh "$build/fuzz" 20

if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "All tests passed."
