#!/usr/bin/env bash
# Cross-builds the Windows console program and runs the end-to-end tests
# against it under Wine, in a Wine prefix made fresh in a temporary folder.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --workflow --preset windows
prefix_root=$(mktemp -d)
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$prefix_root"' EXIT
export WINEPREFIX="$prefix_root/prefix" WINEDEBUG=-all
wineboot_cmd=$(command -v /usr/lib/wine/wine64 || command -v wine64 || command -v wine)
"$wineboot_cmd" wineboot --init >/dev/null 2>&1
wineserver -w >/dev/null 2>&1 || true
# One server for the whole suite: a server that ends after its idle time
# while the next program connects to it fails that program with status 1
# ("wine client error: recvmsg: Connection reset by peer").
wineserver -p
cmake --workflow --preset wine-tests
