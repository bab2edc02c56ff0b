#!/usr/bin/env bash
# The Debian package that tools/package --deb writes: its fields and exact contents; unpacked
# into a scratch folder, the program runs and tells its version, man reads its page and bash
# completes with its script; installed into a scratch root with dpkg and removed again, it
# leaves no file behind.
#   tests/package/deb_test.sh dist/shortcut-sweeper_<version>_amd64.deb
set -u
deb="$(realpath "$1")"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
check() { # check WHAT COMMAND...: runs COMMAND, reports WHAT when it fails
    local what="$1"; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what" >&2; failures=$((failures + 1)); fi
}
version=$(sed -nE 's/^project\(ShortcutSweeper VERSION ([0-9.]+).*/\1/p' \
    "$(dirname "$0")/../../CMakeLists.txt")

field() { dpkg-deb -f "$deb" "$1"; }
check "named for its version and architecture" \
    test "$(basename "$deb")" = "shortcut-sweeper_${version}_amd64.deb"
check "fields" test "$(field Package) $(field Version) $(field Architecture)" = \
    "shortcut-sweeper $version amd64"
check "depends on the C library and GLib" \
    bash -c "dpkg-deb -f '$deb' Depends | grep -q 'libc6 (>=' && dpkg-deb -f '$deb' Depends | grep -q 'libglib2.0-0'"

expected="./usr/bin/shortcut-sweeper
./usr/share/bash-completion/completions/shortcut-sweeper
./usr/share/doc/shortcut-sweeper/copyright
./usr/share/fish/vendor_completions.d/shortcut-sweeper.fish
./usr/share/man/man1/shortcut-sweeper.1.gz
./usr/share/zsh/vendor-completions/_shortcut-sweeper"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
check "holds the program, its page, three completions and the copyright file, nothing else" \
    test "$files" = "$expected"
check "every file owned by root" bash -c "dpkg-deb -c '$deb' | awk '{print \$2}' | sort -u | grep -qx 'root/root'"

unpacked="$scratch/unpacked"
dpkg-deb -x "$deb" "$unpacked"
check "the program tells its version" \
    test "$("$unpacked/usr/bin/shortcut-sweeper" --version)" = "shortcut-sweeper $version"
check "the program judges a folder" bash -c "'$unpacked/usr/bin/shortcut-sweeper' --stats '$scratch' 2>&1 | grep -q '^stats: folders='"
page=$(MANWIDTH=80 man -l "$unpacked/usr/share/man/man1/shortcut-sweeper.1.gz" 2>&1 | col -b)
check "man reads the page" bash -c 'grep -q "^SHORTCUT-SWEEPER(1)" <<<"$0" && grep -q -- "--max-depth N" <<<"$0" && grep -q "EXIT STATUS" <<<"$0"' "$page"
completion=$(bash -c "source '$unpacked/usr/share/bash-completion/completions/shortcut-sweeper'
    COMP_WORDS=(shortcut-sweeper --max); COMP_CWORD=1; _shortcut_sweeper; echo \"\${COMPREPLY[*]}\"")
check "bash completes with the packaged script" test "$completion" = "--max-depth"
check "the copyright file names the libraries compiled in" \
    bash -c "grep -q 'Upstream-Name: CLI11' '$unpacked/usr/share/doc/shortcut-sweeper/copyright' && grep -qi 'nlohmann' '$unpacked/usr/share/doc/shortcut-sweeper/copyright'"

# Installed and removed with dpkg in a root of its own (its dependencies are the host's).
root="$scratch/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
dpkg_root() { dpkg --root="$root" --force-not-root --force-depends --log=/dev/null "$@" >/dev/null 2>&1; }
check "dpkg installs it" dpkg_root -i "$deb"
check "installed where the system looks" test -x "$root/usr/bin/shortcut-sweeper" -a \
    -f "$root/usr/share/man/man1/shortcut-sweeper.1.gz"
check "dpkg removes it" dpkg_root --purge shortcut-sweeper
left=$(cd "$root" && find . -not -path './var/lib/dpkg*' -not -name . -not -path ./var -not -path ./var/lib | sort)
check "nothing left behind" test -z "$left"

[ "$failures" -eq 0 ] && echo "deb test: all passed" || echo "deb test: $failures failed" >&2
[ "$failures" -eq 0 ]
