#!/usr/bin/env bash
# Runs the installer test program in a fresh Wine prefix of its own (the build folder's
# installer_test folder), so that installing, upgrading and uninstalling touch no other test's
# registry or files. Usage: run.sh <build-folder> <installer_test.exe> <setup.exe>
set -euo pipefail
build=$(cd "$1" && pwd)
program=$2
setup=$3
here=$(cd "$(dirname "$0")" && pwd)
folder="$build/installer_test"
mkdir -p "$folder"

stop_wine() { WINEPREFIX="$folder/wineprefix" wineserver -k >/dev/null 2>&1 || true; }
stop_wine
rm -rf "$folder/wineprefix"
trap stop_wine EXIT

# The test program reads the setup's Windows path (Wine's Z: drive is the Unix root).
QUENDARI_SETUP="Z:${setup//\//\\}" "$here/../../tools/wine/run" "$folder" "$program"
