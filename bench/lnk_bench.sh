#!/usr/bin/env bash
# Shortcut reading rates: the host reader, and under Wine the system's link reader (the
# program's own reader there) against the shell link object over the same corpus, with the
# ratios. Builds both benchmarks in the given build folders first.
#   bench/lnk_bench.sh [HOST_BUILD] [WINDOWS_BUILD]    (default build/host build/windows)
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
host="$(cd "${1:-$root/build/host}" && pwd)"
win="$(cd "${2:-$root/build/windows}" && pwd)"
cmake --build "$host" --target lnk_bench -j2 >/dev/null
cmake --build "$win" --target lnk_winbench -j2 >/dev/null

echo "== host"
host_out="$("$host/bench/lnk_bench")"
echo "$host_out" | grep -v '^RATE'
echo "== Wine"
export WINEPREFIX="${WINEPREFIX:-$win/wineprefix}"
"$root/tools/wine-run" --start
win_out="$("$root/tools/wine-run" "$win/bench/lnk_winbench.exe" 2>/dev/null | tr -d '\r')"
"$root/tools/wine-run" --stop
echo "$win_out" | grep -v '^RATE'

h=$(echo "$host_out" | awk '/^RATE host_reader/ {print $3}')
w=$(echo "$win_out" | awk '/^RATE wine_shell/ {print $3}')
s=$(echo "$win_out" | awk '/^RATE system_reader/ {print $3}')
echo "== ratio"
awk -v h="$h" -v w="$w" -v s="$s" 'BEGIN {
    printf "under Wine, CreateSystemLinkReader() %d/s vs shell link object %d/s: %.1fx (target >= 5x)\n", s, w, s / w
    printf "host reader %d/s vs shell link object under Wine %d/s: %.1fx (target >= 10x)\n", h, w, h / w }'
