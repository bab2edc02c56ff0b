#!/usr/bin/env bash
# Cold starts of the real program: a Wine prefix made afresh with wineboot, then COUNT starts
# of ShortcutSweeper.exe, each after the Wine server was ended (so every start brings Wine up
# from nothing). Counts the starts whose main window opened within 60 s.
#   bench/cold_starts.sh [COUNT] [WINDOWS_BUILD]     (default 20, build/windows)
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
count="${1:-20}"
build="$(cd "${2:-$root/build/windows}" && pwd)"
cmake --build "$build" -j2 --target ShortcutSweeper remote_winbench settings_files \
    sweeper_dist_pictures >/dev/null || exit 1
dist="$build/dist"
remote="$build/bench/remote_winbench.exe"

export WINEPREFIX="$build/cold-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineserver_cmd=wineserver
command -v wineserver >/dev/null 2>&1 || wineserver_cmd=/usr/lib/wine/wineserver
"$wineserver_cmd" -k >/dev/null 2>&1
rm -rf "$WINEPREFIX"
display=:$((50 + RANDOM % 40))
Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
trap '"$wineserver_cmd" -k >/dev/null 2>&1; kill $xvfb 2>/dev/null' EXIT
wine wineboot -i >/dev/null 2>&1

opened=0
for i in $(seq 1 "$count"); do
    "$wineserver_cmd" -k >/dev/null 2>&1
    "$wineserver_cmd" -w >/dev/null 2>&1
    start=$(date +%s.%N)
    (cd "$dist" && wine ./ShortcutSweeper.exe >/dev/null 2>&1) &
    job=$!
    if wine "$remote" wait-window 60 >/dev/null 2>&1; then
        opened=$((opened + 1))
        awk -v i="$i" -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "start %2d: window after %.1f s\n", i, b - a }'
        wine "$remote" close >/dev/null 2>&1
    else
        echo "start $i: no window"
    fi
    wait "$job"
    echo "         exit code $?"
done
echo "cold starts: $opened of $count opened the window"
[ "$opened" -eq "$count" ]
