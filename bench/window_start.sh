#!/usr/bin/env bash
# The program's start: the time from starting ShortcutSweeper.exe to its window being shown,
# cold (no Wine server running, so Wine comes up with the start) and warm (a running server)
# at 100% and at 200% (LogPixels 192), and its private memory once the window shows at 100
# and 200%; beside the same figures, in the same run, for an empty Wine program
# (window_start_winbench's empty window, which links nothing of the program's). Medians of
# RUNS starts each, the programs taking turns.
#   bench/window_start.sh [RUNS] [WINDOWS_BUILD] [PROGRAM_FOLDER...]
#   (default 5, build/windows, its dist/). A PROGRAM_FOLDER holds ShortcutSweeper.exe with
#   the files beside it, such as the stripped release in build/package/stage; several are
#   measured side by side (an older build beside the new one).
# Cold: the wall time from `wine window_start_winbench.exe launch` (which starts the
# program) to the window. Warm: the time the starter measures from CreateProcess to the
# window. Private memory: Private_Clean + Private_Dirty of the Wine process (smaps_rollup).
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-5}"
build="$(cd "${2:-$root/build/windows}" && pwd)"
cmake --build "$build" -j2 --target ShortcutSweeper window_start_winbench settings_files \
    sweeper_dist_pictures >/dev/null || exit 1
shift $(($# < 2 ? $# : 2))
[ $# -gt 0 ] || set -- "$build/dist"
folders=()
for f in "$@"; do folders+=("$(cd "$f" && pwd)") || exit 1; done
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

# What is started, by name: the empty program, then the programs p1, p2, ...
names=(empty)
declare -A command=([empty]="$(winepath -w "$starter" 2>/dev/null)")
declare -A label=([empty]="empty Wine program")
for i in "${!folders[@]}"; do
    names+=("p$i")
    command[p$i]="$(winepath -w "${folders[$i]}/ShortcutSweeper.exe" 2>/dev/null)"
    size=$(stat -c %s "${folders[$i]}/ShortcutSweeper.exe")
    label[p$i]="${folders[$i]}/ShortcutSweeper.exe, $((size / 1024)) KiB"
done

# The Linux process of a running Wine program, by the start of its name.
pid_of() {
    local p
    for p in $(pgrep -f "$1" || true); do
        grep -q "^${1:0:15}" "/proc/$p/comm" 2>/dev/null && { echo "$p"; return; }
    done
}
# A process that ended stays a zombie where nothing reaps it (a container's first process).
running() {
    [ -n "$1" ] && [ -r "/proc/$1/status" ] && ! grep -q '^State:[[:space:]]*Z' "/proc/$1/status"
}
private_kib() {
    awk '/^Private_(Clean|Dirty):/ { sum += $2 } END { print sum }' "/proc/$1/smaps_rollup"
}
median() {
    sort -n | awk '{ v[NR] = $1 }
        END { print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}

# start NAME KIND: one start of program NAME; appends the starter's and the wall time (ms)
# and the private memory (KiB) to $out/NAME-KIND, then closes the window and waits for the
# process to end.
start() {
    local name=$1 kind=$2 a b ms pid kib args=()
    [ "$name" = empty ] && args=(empty 30)
    a=$(date +%s%N)
    ms=$(wine "$starter" launch 60 "${command[$name]}" "${args[@]}" | tr -d '\r')
    b=$(date +%s%N)
    [ -n "$ms" ] || { echo "$name: no window" >&2; return 1; }
    sleep 1 # the first paint and whatever the window does right after showing
    pid=$(pid_of "$(basename "${command[$name]//\\//}")")
    kib=$(private_kib "$pid")
    echo "$ms $(((b - a) / 1000000)) $kib" >>"$out/$name-$kind"
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
    for name in "${names[@]}"; do
        "$wineserver_cmd" -k >/dev/null 2>&1
        "$wineserver_cmd" -w >/dev/null 2>&1
        start "$name" cold
    done
done
"$wineserver_cmd" -p >/dev/null 2>&1
wine cmd /c exit 0 >/dev/null 2>&1
for i in $(seq 1 "$runs"); do
    for name in "${names[@]}"; do start "$name" warm; done
done
dpi 192
for i in $(seq 1 "$runs"); do
    for name in "${names[@]}"; do start "$name" 200; done
done
dpi 96

echo "median of $runs starts: ms from the start to the window shown, private MiB after it"
printf '%-56s %6s %6s %9s %8s %8s\n' "" cold warm "warm 200%" "MiB 100%" "MiB 200%"
for name in "${names[@]}"; do
    printf '%-56s %6s %6s %9s %8.1f %8.1f\n' "${label[$name]}" "$(column_of $name-cold 2)" \
        "$(column_of $name-warm 1)" "$(column_of $name-200 1)" \
        "$(column_of $name-warm 3 | awk '{ print $1 / 1024 }')" \
        "$(column_of $name-200 3 | awk '{ print $1 / 1024 }')"
done
