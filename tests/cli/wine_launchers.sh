#!/usr/bin/env bash
# The host program's --wine-launchers against launchers Wine's own menu builder wrote: a
# private prefix (a copy of the run's prefix) with two programs installed, shortcuts saved
# through the shell in its Start menu and on its Desktops, which makes Wine write the
# launchers, menu files, folder entries and icons into a home of the test's own. Then one
# program's folder is removed, later the whole prefix: the launchers are dead with the right
# reason, and --recycle --yes leaves no dead entry in the menu, every moved file in the trash.
#   wine_launchers.sh HOST-SHORTCUT-SWEEPER
# Run by CTest with WINEPREFIX set to the run's prefix; exit 77 (skipped) without the host
# program (tools/test builds it first).
#
# Nothing of Wine's may hold the test's output: CTest waits until every writer of it has
# closed it. The first Wine program of a server starts Wine's own processes (services.exe,
# explorer.exe, plugplay.exe, rpcss.exe...) with that program's standard output and error;
# they live as long as the server, for good under a persistent one (wineserver -p, as the
# run's prefix has), and the test never ends. So the test uses a prefix of its own, whose
# server is not persistent, every Wine command writes to a log file, the server (which ends
# once the menu builder the shell started after each save is done) is waited for with a time
# limit, and killed on exit.
set -u
[ $# -eq 1 ] || { echo "usage: $0 HOST-PROGRAM" >&2; exit 2; }
host=$1
[ -x "$host" ] || { echo "no host program $host: build the host preset first" >&2; exit 77; }
[ -f "$WINEPREFIX/system.reg" ] || { echo "no Wine prefix at $WINEPREFIX" >&2; exit 1; }
wineserver_cmd=wineserver
command -v wineserver >/dev/null 2>&1 || wineserver_cmd=/usr/lib/wine/wineserver

root="$(dirname "$WINEPREFIX")/wine-launchers-test"
rm -rf "$root"
mkdir -p "$root/home/Desktop"
log="$root/wine.log"
prefix="$root/prefix"
bad() {
    echo "wine_launchers: $*" >&2
    [ -s "$log" ] && tail -n 20 "$log" >&2
    exit 1
}
stop_wine() { WINEPREFIX="$prefix" timeout 10 "$wineserver_cmd" -k >/dev/null 2>&1 || true; }
trap stop_wine EXIT

export HOME="$root/home" XDG_DATA_HOME="$root/home/data" XDG_CONFIG_HOME="$root/home/config"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
unset XDG_DESKTOP_DIR
# Wine's drive files are hard links to the run's prefix (a copy in a second); the registry,
# which Wine rewrites, is copied.
cp -al "$WINEPREFIX" "$prefix" 2>/dev/null || cp -a "$WINEPREFIX" "$prefix" || bad "cannot copy the prefix"
for reg in system.reg user.reg userdef.reg; do
    rm -f "$prefix/$reg" && cp "$WINEPREFIX/$reg" "$prefix/$reg"
done
rm -f "$prefix/wineserver"
# The prefix's user folders lead into the home that made it; here into the test's own.
user=$(ls "$prefix/drive_c/users" | grep -v '^Public$' | head -1)
for link in "$prefix/drive_c/users/$user"/*; do
    [ -L "$link" ] || continue
    rm "$link"
    if [ "$(basename "$link")" = Desktop ]; then ln -s "$HOME/Desktop" "$link"; else ln -s "$HOME" "$link"; fi
done
export WINEPREFIX="$prefix"

# Two programs installed: real executables, whose icons the menu builder extracts.
c="$prefix/drive_c"
for program in "App/app.exe" "Tool/tool.exe"; do
    mkdir -p "$c/Program Files/$(dirname "$program")"
    cp "$c/windows/system32/notepad.exe" "$c/Program Files/$program"
done
cat >"$c/make-links.js" <<'EOF'
var shell = WScript.CreateObject("WScript.Shell");
var files = WScript.CreateObject("Scripting.FileSystemObject");
// Wine's answer ends with the terminating NUL, which would cut any path made from it.
function expand(text) { return shell.ExpandEnvironmentStrings(text).replace(/\u0000/g, ""); }
var programs = expand("%APPDATA%\\Microsoft\\Windows\\Start Menu\\Programs");
function link(path, target, args) {
    var folder = files.GetParentFolderName(path);
    if (!files.FolderExists(folder)) files.CreateFolder(folder);
    var l = shell.CreateShortcut(path);
    l.TargetPath = target;
    if (args) l.Arguments = args;
    l.Save();
}
var app = "C:\\Program Files\\App\\app.exe", tool = "C:\\Program Files\\Tool\\tool.exe";
link(programs + "\\App\\App.lnk", app);
link(programs + "\\App\\App Safe Mode.lnk", app, "/safe");
link(programs + "\\Tool\\Tool.lnk", tool);
// Saved through a path in other letters' case, which the launcher's command line keeps.
link(expand("%APPDATA%\\microsoft\\windows\\start menu\\programs\\Tool\\Tool Help.lnk"), tool, "/help");
link(expand("%USERPROFILE%\\Desktop\\App.lnk"), app, "-x");
link(expand("%PUBLIC%\\Desktop\\Tool.lnk"), tool);
EOF
timeout 60 wine cscript //nologo 'C:\make-links.js' </dev/null >"$log" 2>&1 || bad "the shortcuts could not be made"
# The menu builder runs after each save, in the background: wait for it and the server.
timeout 30 "$wineserver_cmd" -w >>"$log" 2>&1 || bad "Wine did not finish within 30 seconds"

apps="$XDG_DATA_HOME/applications/wine/Programs"
merged="$XDG_CONFIG_HOME/menus/applications-merged"
for f in "$apps/App/App.desktop" "$apps/App/App Safe Mode.desktop" "$apps/Tool/Tool.desktop" \
    "$apps/Tool/Tool Help.desktop" \
    "$HOME/Desktop/App.desktop" "$HOME/Desktop/Tool.desktop" "$merged/wine-Programs-App-App.menu"; do
    [ -f "$f" ] || bad "Wine wrote no $f: $(cd "$HOME" && find . -type f | sort)"
done
grep -qF 'start\\ menu\\\\programs' "$apps/Tool/Tool Help.desktop" || bad "Wine changed the case of the path"

# name<TAB>verdict<TAB>reason of each launcher, sorted.
verdicts() { "$host" --wine-launchers --all -f tsv | awk -F'\t' 'NR > 1 { n = $1; sub(/.*\//, "", n); d = $1; sub(/\/[^\/]*$/, "", d); sub(/.*\//, "", d); print d "/" n "\t" $5 "\t" $6 }' | LC_ALL=C sort; }
expect() {
    local got
    got=$(verdicts)
    [ "$got" = "$(printf '%s\n' "$@" | LC_ALL=C sort)" ] || bad "unexpected verdicts:
$got"
}
expect "App/App Safe Mode.desktop	live	target found" "App/App.desktop	live	target found" \
    "Desktop/App.desktop	live	target found" "Desktop/Tool.desktop	live	target found" \
    "Tool/Tool.desktop	live	target found" "Tool/Tool Help.desktop	live	target found"
"$host" --wine-launchers >/dev/null
[ $? -eq 0 ] || bad "exit status with only live launchers"

# Each moved file in the trash, and no menu file naming a launcher that is gone.
recycle() {
    "$host" --wine-launchers --recycle --yes >/dev/null 2>"$root/recycle.err"
    [ $? -eq 1 ] || bad "--recycle: $(cat "$root/recycle.err")"
    grep -q '^kept' "$root/recycle.err" && bad "a file was kept: $(cat "$root/recycle.err")"
    # The trash's records name each file by its path, %-escaped.
    local trashed
    trashed=$(sed -n 's/^Path=//p' "$XDG_DATA_HOME/Trash/info/"*.trashinfo | while IFS= read -r p; do
        printf '%b\n' "${p//%/\\x}"
    done)
    sed -n 's/^moved: //p' "$root/recycle.err" | while IFS= read -r moved; do
        [ ! -e "$moved" ] || bad "$moved is still there"
        grep -qxF "$moved" <<<"$trashed" || bad "$moved is not in the trash"
    done || exit 1
    grep -rhoE '<Filename>[^<]*</Filename>' "$merged" 2>/dev/null | sed 's/<[^>]*>//g' | while IFS= read -r id; do
        [ -f "$XDG_DATA_HOME/applications/$(echo "$id" | sed 's/^wine-/wine\//; s/-/\//g')" ] ||
            bad "the menu names $id, which is gone"
    done || exit 1
}

# The first program's folder removed: its launchers are dead, the other program's live.
rm -rf "$c/Program Files/App"
expect "App/App Safe Mode.desktop	dead	target not found on C:" \
    "App/App.desktop	dead	target not found on C:" \
    "Desktop/App.desktop	dead	target not found on C:" "Desktop/Tool.desktop	live	target found" \
    "Tool/Tool.desktop	live	target found" "Tool/Tool Help.desktop	live	target found"
recycle
[ ! -e "$merged/wine-Programs-App-App.menu" ] && [ ! -e "$XDG_DATA_HOME/desktop-directories/wine-Programs-App.directory" ] ||
    bad "the program's menu file or folder entry stayed: $(cat "$root/recycle.err")"
ls "$XDG_DATA_HOME/icons/hicolor/"*/apps/ | grep -q '_app\.' && bad "the program's icons stayed"
ls "$XDG_DATA_HOME/icons/hicolor/"*/apps/ | grep -q '_tool\.' || bad "the other program's icons went"
expect "Desktop/Tool.desktop	live	target found" "Tool/Tool.desktop	live	target found" \
    "Tool/Tool Help.desktop	live	target found"

# The whole prefix removed: the rest is dead with it.
stop_wine
rm -rf "$prefix"
expect "Desktop/Tool.desktop	dead	Wine prefix gone" "Tool/Tool.desktop	dead	Wine prefix gone" \
    "Tool/Tool Help.desktop	dead	Wine prefix gone"
recycle
[ -z "$(find "$XDG_DATA_HOME/applications" "$HOME/Desktop" -name '*.desktop')" ] || bad "launchers stayed"
[ -z "$(ls "$merged")" ] || bad "menu files stayed: $(ls "$merged")"
[ -z "$(find "$XDG_DATA_HOME/icons" "$XDG_DATA_HOME/desktop-directories" -type f)" ] ||
    bad "icons or folder entries stayed: $(find "$XDG_DATA_HOME/icons" "$XDG_DATA_HOME/desktop-directories" -type f)"
"$host" --wine-launchers >/dev/null
[ $? -eq 0 ] || bad "dead launchers after --recycle"
rm -rf "$root"
echo "wine_launchers: passed"
