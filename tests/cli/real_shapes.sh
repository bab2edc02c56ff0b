#!/usr/bin/env bash
# The three readers over shortcuts in the shapes real Windows machines write (environment
# strings, relative paths, ID lists with known folders, mapped network drives, short names,
# Unicode extension blocks, ANSI names), written byte by byte by real_shapes.exe into the test
# prefix: the window's core under Wine (core_verdicts.exe), shortcut-sweeper.exe under Wine
# and the host program on the same prefix give every shortcut the same target, verdict and
# reason, and the ones real_shapes.exe expects; lnkinfo (liblnk-utils), an independent
# parser, reads the stored paths the generator meant to write.
#   real_shapes.sh SHORTCUT-SWEEPER.EXE REAL_SHAPES.EXE CORE_VERDICTS.EXE HOST-PROGRAM
# Run by CTest with WINEPREFIX set; exit 77 (skipped) without the host program.
set -u
[ $# -eq 4 ] || { echo "usage: $0 SHORTCUT-SWEEPER.EXE REAL_SHAPES.EXE CORE_VERDICTS.EXE HOST" >&2; exit 2; }
top="$(cd "$(dirname "$0")/../.." && pwd)"
exe=$1 shapes=$2 core=$3 host=$4
[ -x "$host" ] || { echo "no host program $host: build the host preset first" >&2; exit 77; }
bad() { echo "real_shapes: $*" >&2; exit 1; }
wine_run() { "$top/tools/wine-run" "$@" | tr -d '\r'; }

root="$WINEPREFIX/drive_c/real-shapes"
rm -rf "$root"
wine_run "$shapes" 'C:\real-shapes' || bad "real_shapes.exe failed"
[ -f "$root/expected.tsv" ] || bad "no tree under $root"

# Name, target, verdict and reason of every shortcut, sorted by name (TSV's doubled
# backslashes undone: no name here holds a tab or a line break).
verdicts() { cut -f1,2,5,6 | tail -n +2 | sed 's/\\\\/\\/g' | LC_ALL=C sort; }
wine_run "$core" 'C:\real-shapes\links' | LC_ALL=C sort >"$root/core.tsv"
wine_run "$exe" --all --format tsv 'C:\real-shapes\links' | verdicts >"$root/windows.tsv"
"$host" --all --format tsv "$root/links" | verdicts >"$root/host.tsv"

failed=0
diff "$root/core.tsv" "$root/windows.tsv" >&2 ||
    { echo "real_shapes: the window's core and shortcut-sweeper.exe disagree (< core, > exe)" >&2; failed=1; }
diff "$root/windows.tsv" "$root/host.tsv" >&2 ||
    { echo "real_shapes: shortcut-sweeper.exe and the host program disagree (< exe, > host)" >&2; failed=1; }
diff <(LC_ALL=C sort "$root/expected.tsv") <(cut -f1,3,4 "$root/host.tsv") >&2 ||
    { echo "real_shapes: verdicts other than expected (< expected, > host)" >&2; failed=1; }

# A '$' in the chosen folder excludes nothing below it; "$Recycle.Bin" inside still is left out.
dollar_core=$(wine_run "$core" 'C:\real-shapes\ca$h' | cut -f1 | tr '\n' ' ')
dollar_exe=$(wine_run "$exe" --all --format tsv 'C:\real-shapes\ca$h' | tail -n +2 | cut -f1 | tr '\n' ' ')
dollar_host=$("$host" --all --format tsv "$root/ca\$h" | tail -n +2 | cut -f1 | tr '\n' ' ')
for got in "$dollar_core" "$dollar_exe" "$dollar_host"; do
    [ "$got" = "found " ] || { echo "real_shapes: in 'ca\$h' found '$got', not 'found '" >&2; failed=1; }
done

# The independent parser reads what the generator meant to store.
if command -v lnkinfo >/dev/null 2>&1; then
    while IFS=$'\t' read -r file expect; do
        field=${expect%%:*} value=${expect#*:}
        path="$root/links/${file//\\//}"
        got=$(lnkinfo "$path" 2>/dev/null | sed -n "s/^[[:space:]]*$field[[:space:]]*: //p" | head -1)
        [ "$got" = "$value" ] ||
            { echo "real_shapes: lnkinfo reads $field '$got' in $file, not '$value'" >&2; failed=1; }
    done <"$root/lnkinfo.tsv"
else
    echo "real_shapes: lnkinfo (liblnk-utils) is not installed; the format check is skipped" >&2
fi
[ "$failed" -eq 0 ] || exit 1
echo "real_shapes: $(wc -l <"$root/host.tsv") shortcuts, the three readers agree"
