# Shared by tools/test and tools/run: loud steps and non-interactive installs.
set -u
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
export DEBIAN_FRONTEND=noninteractive

step() { echo; echo "==> $*"; }
fail() { echo; echo "!!! FAILED: $*" >&2; exit 1; }

# need PACKAGE... : installs the Debian packages that are not installed yet.
need() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo -n"
    $sudo apt-get update -qq || fail "apt-get update"
    $sudo apt-get install -y -qq "${missing[@]}" >/tmp/sweeper-apt.log 2>&1 ||
        { tail -20 /tmp/sweeper-apt.log >&2; fail "apt-get install ${missing[*]}"; }
}

# The command-line program: CLI11 and nlohmann-json (header-only, both builds), GIO (host);
# its tests read the manual page with man, groff and col.
host_packages=(cmake make g++ libgtest-dev libgmock-dev libcli11-dev nlohmann-json3-dev
               libglib2.0-dev pkg-config man-db groff-base bsdextrautils)
# Wine with what its recommendations bring that the window tests rely on: its own fonts
# (Tahoma among them) and the X extensions its display driver loads at run time; lnkinfo
# (liblnk-utils), an independent reader of shortcut files, checks the test shortcuts.
windows_packages=(cmake make g++ mingw-w64 googletest wine wine64 xvfb xauth fonts-wine liblnk-utils
                  fonts-liberation libxrender1 libxrandr2 libxcursor1 libxi6 libxcomposite1
                  libxinerama1 libxfixes3)
fuzz_packages=(clang libclang-rt-14-dev)
# tools/package: the release zip.
package_packages=(zip)
# tools/package --deb and its test: dpkg-shlibdeps for the dependencies, man, groff and col
# to read the manual page.
deb_packages=(dpkg-dev man-db groff-base bsdextrautils)
