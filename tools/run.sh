#!/usr/bin/env bash
# Sets up the machine, builds Quendari.exe and runs it under Wine with the stand-in WebView2
# runtime installed in the build folder's private prefix. With a display the window opens for
# the user; without one it runs on a virtual display, saves a screenshot, closes and exits 0.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh

build=${QUENDARI_BUILD_DIR:-build}/windows
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
cmake --build "$build" -j "$(nproc)" --target quendari standin_runtime screenshot
testing/standin/install-standin "$build" "$build/testing/standin/EmbeddedBrowserWebView.dll"

if [ -n "${DISPLAY:-}" ]; then
  exec tools/wine/run "$build" "$build/app/Quendari.exe"
fi

build=$(cd "$build" && pwd)
log=$build/run-standin.jsonl
scenario=$build/run.scenario
screenshot=$build/quendari-screenshot.png
rm -f "$log" "$screenshot"
echo "after-navigate 8000 close" >"$scenario"
# The stand-in reads Windows paths; Wine's Z: drive is the Unix root.
QUENDARI_STANDIN_LOG="Z:$log" QUENDARI_STANDIN_SCENARIO="Z:$scenario" \
  tools/wine/run "$build" "$build/app/Quendari.exe" &
app=$!
for _ in $(seq 600); do
  grep -q '"method":"Navigate"' "$log" 2>/dev/null && break
  sleep 0.1
done
sleep 2
tools/wine/run "$build" "$build/tools/screenshot/screenshot.exe" "$screenshot" "Quendari" ||
  echo "no screenshot was taken" >&2
status=0
wait "$app" || status=$?
echo "Quendari exited with status $status; screenshot: $screenshot"
exit "$status"
