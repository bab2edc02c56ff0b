#!/usr/bin/env bash
# The program's start: the time from starting ShortcutSweeper.exe to its window being shown,
# cold (no Wine server running, so Wine comes up with the start) and warm (a running server),
# and its private memory once the window shows, at 100% and at 200% (LogPixels 192); beside
# the same figures, in the same run, for an empty Wine program (window_start_winbench's empty
# window, which links nothing of the program's). Medians of RUNS starts each.
#   bench/window_start.sh [RUNS] [WINDOWS_BUILD] [PROGRAM_FOLDER]
#   (default 5, build/windows, its dist/; PROGRAM_FOLDER: ShortcutSweeper.exe with the files
#   beside it, such as the stripped release in build/package/stage)
# Cold: the wall time from `wine window_start_winbench.exe launch` (which starts the
# program) to the window. Warm: the time the starter measures from CreateProcess to the
# window. Private memory: Private_Clean + Private_Dirty of the Wine process (smaps_rollup).
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-5}"
build="$(cd "${2:-$root/build/windows}" && pwd)"
cmake --build "$build" -j2 --target ShortcutSweeper window_start_winbench settings_files \
    sweeper_dist_pictures >/dev/null || exit 1
folder="$(cd "${3:-$build/dist}" && pwd)"
starter="$build/bench/window_start_winbench.exe"

export WINEPREFIX="$build/start-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
wineserver_cmd=wineserver
command -v wineserver >/dev/null 2>&1 || wineserver_cmd=/usr/lib/wine/wineserver
display=:$((50 + RANDOM % 40))
Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
out="$(mktemp -d)"
trap 'rm -rf "$out"; "$wineserver_cmd" -k >/dev/null 2>&1; kill $xvfb 2>/dev/null' EXIT
[ -f "$WINEPREFIX/system.reg" ] || wine wineboot -i >/dev/null 2>&1

program="$(winepath -w "$folder/ShortcutSweeper.exe" 2>/dev/null)"
empty="$(winepath -w "$starter" 2>/dev/null)"

# The Linux process of a running Wine program, by the start of its name.
pid_of() {
    local p
    for p in $(pgrep -f "$1" || true); do
        grep -q "^${1:0:15}" "/proc/$p/comm" 2>/dev/null && { echo "$p"; return; }
    done
}
# A process that ended stays a zombie where nothing reaps it (a container's first process).
running() { [ -n "$1" ] && [ -r "/proc/$1/status" ] && ! grep -q '^State:[[:space:]]*Z' "/proc/$1/status"; }
private_kib() {
    awk '/^Private_(Clean|Dirty):/ { sum += $2 } END { print sum }' "/proc/$1/smaps_rollup"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

# start NAME COMMAND...: one start; appends the starter's and the wall time (ms) and the
# private memory (KiB) to $out/NAME, then closes the window and waits for the process to end.
start() {
    local name=$1 a b ms pid kib
    shift
    a=$(date +%s%N)
    ms=$(wine "$starter" launch 60 "$@" | tr -d '\r')
    b=$(date +%s%N)
    [ -n "$ms" ] || { echo "$name: no window" >&2; return 1; }
    sleep 1 # the first paint and whatever the window does right after showing
    pid=$(pid_of "$(basename "${1//\\//}")")
    kib=$(private_kib "$pid")
    echo "$ms $(((b - a) / 1000000)) $kib" >>"$out/$name"
    wine "$starter" close >/dev/null 2>&1
    while running "$pid"; do sleep 0.05; done
}
column_of() { awk -v c="$2" '{ print $c }' "$out/$1" | median; }
dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}

"$wineserver_cmd" -p >/dev/null 2>&1
dpi 96
for i in $(seq 1 "$runs"); do
    for what in empty program; do
        "$wineserver_cmd" -k >/dev/null 2>&1
        "$wineserver_cmd" -w >/dev/null 2>&1
        if [ $what = empty ]; then start empty-cold "$empty" empty 30; else start program-cold "$program"; fi
    done
done
"$wineserver_cmd" -p >/dev/null 2>&1
wine cmd /c exit 0 >/dev/null 2>&1
for i in $(seq 1 "$runs"); do
    start empty-warm "$empty" empty 30
    start program-warm "$program"
done
dpi 192
for i in $(seq 1 "$runs"); do
    start empty-200 "$empty" empty 30
    start program-200 "$program"
done
dpi 96

echo "window start of $folder/ShortcutSweeper.exe ($(stat -c %s "$folder/ShortcutSweeper.exe") bytes)"
echo "median of $runs starts          cold ms   warm ms   private MiB at 100%   at 200%"
for who in empty program; do
    label="empty Wine program"
    [ $who = program ] && label="ShortcutSweeper.exe"
    printf '%-28s %8s  %8s  %20.1f  %8.1f\n' "$label" "$(column_of $who-cold 2)" \
        "$(column_of $who-warm 1)" "$(column_of $who-warm 3 | awk '{ print $1 / 1024 }')" \
        "$(column_of $who-200 3 | awk '{ print $1 / 1024 }')"
done
