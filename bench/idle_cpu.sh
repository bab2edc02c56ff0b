#!/usr/bin/env bash
# The window at rest: CPU use of the real ShortcutSweeper.exe under Wine, left idle for 10 s
# with no rows and again with 10,000 rows, beside the same figure for an idle Wine program
# (an empty window with a message loop) started in the same session as the baseline.
#   bench/idle_cpu.sh [WINDOWS_BUILD]     (default build/windows)
# Target: the window's own figure under 1% of a core in both cases.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build/windows}" && pwd)"
cmake --build "$build" -j2 --target ShortcutSweeper remote_winbench window_start_winbench \
    settings_files sweeper_dist_pictures >/dev/null
dist="$build/dist"
remote="$build/bench/remote_winbench.exe"
empty="$build/bench/window_start_winbench.exe"

export WINEPREFIX="$build/bench-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
display=:$((50 + RANDOM % 40))
Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
cleanup() {
    "$root/tools/wine-run" --stop
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
"$root/tools/wine-run" --start

# The Linux process of a Wine program, by the start of its name.
pid_of() {
    for p in $(pgrep -f "$1" || true); do
        grep -q "^${1:0:15}" "/proc/$p/comm" 2>/dev/null && { echo "$p"; return; }
    done
}
# Percent of one core the process used over SECONDS.
cpu_over() {
    local pid=$1 seconds=$2 hz a b
    hz=$(getconf CLK_TCK)
    a=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    sleep "$seconds"
    b=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    awk -v a="$a" -v b="$b" -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.2f", 100 * (b - a) / hz / s }'
}

# 10,000 shortcuts on drive C:, half of them broken, made from two written by the shell.
tree="$WINEPREFIX/drive_c/idle-bench"
if [ ! -f "$tree/d99/s99.lnk" ]; then
    rm -rf "$tree"
    mkdir -p "$tree"
    : >"$tree/target.exe"
    "$root/tools/wine-run" "$remote" write-link 'C:\idle-bench\good.lnk' 'C:\idle-bench\target.exe'
    "$root/tools/wine-run" "$remote" write-link 'C:\idle-bench\bad.lnk' 'C:\idle-bench\missing.exe'
    for d in $(seq 0 99); do
        mkdir -p "$tree/d$d"
        for s in $(seq 0 99); do
            if [ $((s % 2)) -eq 0 ]; then cp "$tree/good.lnk" "$tree/d$d/s$s.lnk"; else cp "$tree/bad.lnk" "$tree/d$d/s$s.lnk"; fi
        done
    done
    rm "$tree/good.lnk" "$tree/bad.lnk"
fi

echo "== baseline: an idle Wine program (empty window, message loop)"
"$root/tools/wine-run" "$empty" empty 18 &
baseline_job=$!
sleep 6
base=$(pid_of window_start_winbench)
base_cpu=$(cpu_over "$base" 10)
echo "idle Wine program                 ${base_cpu}% of a core over 10 s"
wait "$baseline_job"

echo "== ShortcutSweeper.exe"
(cd "$dist" && "$root/tools/wine-run" ./ShortcutSweeper.exe) &
program_job=$!
"$root/tools/wine-run" "$remote" wait-window 60 || { echo "the window did not open" >&2; exit 1; }
sleep 5
pid=$(pid_of ShortcutSweeper)
empty_cpu=$(cpu_over "$pid" 10)
echo "window idle, no rows              ${empty_cpu}% of a core over 10 s (target < 1)"
rows=$("$root/tools/wine-run" "$remote" scan 10000 2>/dev/null | tr -d '\r')
sleep 5
full_cpu=$(cpu_over "$pid" 10)
printf 'window idle, %-6s rows         %s%% of a core over 10 s (target < 1)\n' "$rows" "$full_cpu"
"$root/tools/wine-run" "$remote" close
wait "$program_job"
