#!/usr/bin/env bash
# The Windows program under Wine and the host program over the same tree of shortcuts
# written by the shell: the same shortcuts with the same targets and verdicts. Then the
# Windows program's --recycle into Wine's trash ($XDG_DATA_HOME/Trash).
#   same_verdicts.sh SHORTCUT-SWEEPER.EXE SHELL_TREE.EXE HOST-SHORTCUT-SWEEPER
# Run by CTest with WINEPREFIX and XDG_DATA_HOME set; exit 77 (skipped) without the host
# program (tools/test builds it first).
set -u
[ $# -eq 3 ] || { echo "usage: $0 SHORTCUT-SWEEPER.EXE SHELL_TREE.EXE HOST-PROGRAM" >&2; exit 2; }
top="$(cd "$(dirname "$0")/../.." && pwd)"
exe=$1 tree=$2 host=$3
[ -x "$host" ] || { echo "no host program $host: build the host preset first" >&2; exit 77; }
bad() { echo "same_verdicts: $*" >&2; exit 1; }
wine_run() { "$top/tools/wine-run" "$@"; }

root="$WINEPREFIX/drive_c/cli-test"
rm -rf "$root"
wine_run "$tree" 'C:\cli-test' || bad "shell_tree failed"
[ -f "$root/menu/Old/Gone.lnk" ] || bad "no tree under $root"

# Name, target and verdict of every shortcut, sorted (the walks may list folders in
# different orders); the shortcut's own path differs by platform and is left out.
verdicts() { cut -f1,2,5 | LC_ALL=C sort; }
wine_run "$exe" --all --format tsv 'C:\cli-test\menu' >"$root/windows.tsv"
win_rc=$?
# The host finds the prefix by itself from the folder.
"$host" --all --format tsv "$root/menu" >"$root/host.tsv"
host_rc=$?
[ "$win_rc" -eq 1 ] && [ "$host_rc" -eq 1 ] || bad "exit statuses $win_rc (Windows), $host_rc (host), not 1"
diff <(verdicts <"$root/windows.tsv") <(verdicts <"$root/host.tsv") ||
    bad "the programs disagree (above: < Windows, > host)"
expected=$(printf '%s\n' "App	false" "Folder	false" "Gone	true" "Name	Invalid" "Network	false" \
    "No volume	false" "On Z	true" "Upper case	false" "Zürich, ü – €	true" | LC_ALL=C sort)
[ "$(cut -f1,5 "$root/windows.tsv" | LC_ALL=C sort)" = "$expected" ] ||
    bad "unexpected verdicts: $(cat "$root/windows.tsv")"
grep -q 'C:\\\\cli-test\\\\menu\\\\Old\\\\Gone.lnk' "$root/windows.tsv" || bad "no Windows path in the output"

# A reader that goes away after one line (| head -1) while much is still to come: the walk
# stops quietly with 141, as on Linux. The report is made long by many copies of a shortcut.
mkdir -p "$root/many"
for i in $(seq 1 1500); do cp "$root/menu/Old/Gone.lnk" "$root/many/gone $i.lnk"; done
wine_run "$exe" --all --format csv 'C:\cli-test\many' 2>"$root/head.err" | head -1 >/dev/null
rc=${PIPESTATUS[0]}
[ "$rc" -eq 141 ] && [ ! -s "$root/head.err" ] || bad "| head -1: exit status $rc: $(cat "$root/head.err")"
# The report never goes over a shortcut.
wine_run "$exe" -o 'C:\cli-test\menu\App.lnk' 'C:\cli-test\menu' 2>/dev/null
rc=$?
[ "$rc" -eq 2 ] && [ -e "$root/menu/App.lnk" ] && [ "$(head -c 4 "$root/menu/App.lnk" | od -An -tx1 | tr -d ' ')" = 4c000000 ] ||
    bad "-o over a shortcut: exit status $rc"

# --recycle: the invalid shortcuts go to Wine's trash, the valid ones stay.
trash="$XDG_DATA_HOME/Trash"
rm -rf "$trash"
wine_run "$exe" --recycle --yes 'C:\cli-test\menu' >"$root/recycle.out" 2>"$root/recycle.err"
rc=$?
[ "$rc" -eq 1 ] || bad "--recycle exit status $rc: $(cat "$root/recycle.err")"
for name in Gone "Zürich, ü – €" "On Z"; do
    [ ! -e "$root/menu/Old/$name.lnk" ] || bad "$name.lnk is still there"
    ls "$trash/files" | grep -qF "$name" || bad "$name.lnk is not in the trash: $(cat "$root/recycle.err")"
done
[ -e "$root/menu/App.lnk" ] && [ -e "$root/menu/Old/skipped\$.lnk" ] || bad "a valid shortcut went"
grep -q '3 shortcuts moved to the trash, 0 kept' "$root/recycle.err" ||
    bad "unexpected report: $(cat "$root/recycle.err")"
echo "same_verdicts: passed"
