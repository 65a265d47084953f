#!/usr/bin/env bash
# Runs a Windows test program on a 1366x768 virtual screen: its own Xvfb and its own Wine prefix
# (a prefix keeps the screen size its first program saw), both inside the build folder's
# small_screen folder. Usage: on_small_screen.sh <build-folder> <program> [arguments...]
set -euo pipefail
build=$(cd "$1" && pwd); shift
here=$(cd "$(dirname "$0")" && pwd)
folder="$build/small_screen"
mkdir -p "$folder"

display=""
for n in $(seq 170 230); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
    Xvfb ":$n" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do [ -S "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
    display=":$n"
    break
  fi
done
[ -n "$display" ] || { echo "no free display for Xvfb" >&2; exit 1; }
cleanup() {
  WINEPREFIX="$folder/wineprefix" wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT

DISPLAY="$display" QUENDARI_TEST_SMALL_SCREEN=1 "$here/../../tools/wine/run" "$folder" "$@"
