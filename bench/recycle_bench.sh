#!/usr/bin/env bash
# The window's Delete against the real recycle bin under Wine (bench/recycle_winbench.cpp),
# inside Xvfb, with the desktop trash in a folder of its own that is removed afterwards.
#   bench/recycle_bench.sh [WINDOWS_BUILD]     (default build/windows)
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build/windows}" && pwd)"
cmake --build "$build" -j2 --target recycle_winbench >/dev/null
export WINEPREFIX="${WINEPREFIX:-$build/wineprefix}"
XDG_DATA_HOME="$(mktemp -d)"
export XDG_DATA_HOME
trap 'rm -rf "$XDG_DATA_HOME"' EXIT
# Wine's desktop process is started with the server: the display must be there first.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    "$0/tools/wine-run" --start
    "$0/tools/wine-run" "$1/bench/recycle_winbench.exe" 2>/dev/null | tr -d "\r"
    "$0/tools/wine-run" --stop' "$root" "$build"
