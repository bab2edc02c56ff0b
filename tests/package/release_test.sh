#!/usr/bin/env bash
# The release zip as a Windows user gets it: unpacked into a folder whose path holds a blank
# and a non-ASCII letter, in a fresh Wine prefix, and checked there by release_probe.exe
# (the version resource, start-up from that folder, a refused second copy, a clean end).
#   tests/package/release_test.sh ZIP PROBE.exe
# Runs itself inside Xvfb when no display is set. Exit code 0 when every check passes.
set -u
[ $# -eq 2 ] || { echo "usage: $0 ZIP PROBE.exe" >&2; exit 2; }
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
top="$(cd "$(dirname "$0")/../.." && pwd)"
zip="$(realpath "$1")"
probe="$(realpath "$2")"
start=$(date +%s)
bad() { echo "release test: $*" >&2; exit 1; }

expected="ReadMe.txt ShortcutSweeper.exe UI.bmp help.html icon.ico lamecore.dll shortcut-sweeper.exe"
listed=$(cmake -E tar tf "$zip" | LC_ALL=C sort | xargs)
[ "$listed" = "$expected" ] || bad "the zip holds [$listed], not [$expected]"

# Where Explorer's "Extract all" would put it, below a folder a user might have.
work="$top/build/release-test"
folder="$work/Programy Łukasza/$(basename "$zip" .zip)"
rm -rf "$work"
mkdir -p "$folder"
(cd "$folder" && cmake -E tar xf "$zip") || bad "cannot unpack $zip"

export WINEPREFIX="$work/wineprefix"
# Wine reads the folder's name from the environment in the locale's character set.
export LC_ALL=C.UTF-8
trap '"$top/tools/wine-run" --stop' EXIT
"$top/tools/wine-run" --start || bad "no Wine prefix"
echo "release test: fresh Wine prefix after $(( $(date +%s) - start )) s"

SWEEPER_RELEASE_FOLDER="Z:${folder//\//\\}" SWEEPER_RELEASE_ZIP="$(basename "$zip")" \
    "$top/tools/wine-run" "$probe" --gtest_brief=1
rc=$?
echo "release test: $( [ $rc -eq 0 ] && echo passed || echo FAILED ) in $(( $(date +%s) - start )) s"
exit $rc
