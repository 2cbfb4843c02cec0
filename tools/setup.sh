#!/usr/bin/env bash
# Prepares a machine and a build folder for building and running under Wine:
#   tools/setup.sh packages [NAME...]
#                                    install the Debian packages that are missing (the
#                                    build's, or those named)
#   tools/setup.sh prefix BUILDDIR [x11]
#                                    create the Wine prefix BUILDDIR/wineprefix if absent
#                                    (with x11: BUILDDIR/wineprefix-x11, drawing on $DISPLAY)
#   tools/setup.sh all BUILDDIR      packages and the headless prefix
# Safe to run again: it only does what is missing.
set -euo pipefail

PACKAGES=(wine wine64 fonts-wine fonts-liberation libodbc2 g++-mingw-w64-x86-64-posix
          unixodbc odbcinst libsqliteodbc sqlite3 xvfb xdotool imagemagick
          cmake ninja-build ccache googletest cups-daemon cups-client)

as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    as_root apt-get update -qq
    as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# One try at a new prefix (a Wine server ended from outside in the middle of the first boot
# spoils it, so make_prefix tries again after a pause); Wine's own output goes to the log. Fails when any step fails
# or the null graphics driver did not end up in the registry.
try_prefix() {
    local prefix=$1 graphics=$2 log=$3
    rm -rf "$prefix"
    mkdir -p "$prefix"
    # The null graphics driver must be in place before the first boot, or window
    # creation fails without a display.
    cat > "$prefix/user.reg" <<'REG'
WINE REGISTRY Version 2
;; All keys relative to \\User\\S-1-5-21-0-0-0-1000

#arch=win64

[Software\\Wine\\Drivers]
"Graphics"="GRAPHICS"

[Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000

[Software\\Wine\\Fonts\\Replacements]
"Arial"="Liberation Sans"
"Courier New"="Liberation Mono"
"Segoe UI"="Tahoma"
"Times New Roman"="Liberation Serif"
REG
    sed -i "s/GRAPHICS/$graphics/" "$prefix/user.reg"
    wineboot -i >>"$log" 2>&1 || echo "setup: wineboot ended with $?" >>"$log"
    # An empty crash debugger makes every crash end with a nonzero exit code.
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f >>"$log" 2>&1 || return 1
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f >>"$log" 2>&1 || return 1
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$graphics" /f >>"$log" 2>&1 || return 1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$log" 2>&1 || return 1
    local font
    for font in "Arial=Liberation Sans" "Times New Roman=Liberation Serif" "Courier New=Liberation Mono" "Segoe UI=Tahoma"; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${font%%=*}" /d "${font#*=}" /f >>"$log" 2>&1 || return 1
    done
    wine reg query 'HKCU\Software\Wine\Drivers' /v Graphics 2>>"$log" | grep -qi "$graphics" || return 1
    mkdir -p "$prefix/drive_c/windows/Fonts"
    ln -sf /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    wineserver -w >>"$log" 2>&1 || true
}

make_prefix() {
    local build=$1 graphics=${2:-null}
    mkdir -p "$build"
    local prefix
    prefix=$(cd "$build" && pwd)/wineprefix
    [ "$graphics" = null ] || prefix=$prefix-$graphics
    [ -f "$prefix/.ready" ] && return 0
    echo "setup: creating Wine prefix $prefix"
    export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    local log=$prefix.log try
    : > "$log"
    for try in 1 2 3 4; do
        echo "setup: try $try" >>"$log"
        if try_prefix "$prefix" "$graphics" "$log"; then
            touch "$prefix/.ready"
            return 0
        fi
        echo "setup: try $try at the Wine prefix failed" >&2
        wineserver -k >>"$log" 2>&1 || true
        sleep $((3 * try))
    done
    {
        echo "setup: the Wine prefix could not be made; Wine said:"
        tail -n 40 "$log"
        echo "setup: $(id) wine $(wine --version 2>&1) TMPDIR=${TMPDIR-unset} HOME=${HOME-unset}"
        df -h "$build" /tmp 2>&1 | tail -n 2
    } >&2
    return 1
}

case "${1:-all}" in
    packages) shift; if [ $# -gt 0 ]; then install_packages "$@"; else install_packages "${PACKAGES[@]}"; fi ;;
    prefix)   make_prefix "${2:?build folder}" "${3:-null}" ;;
    all)      install_packages "${PACKAGES[@]}"; make_prefix "${2:-build}" ;;
    *) echo "usage: $0 packages [NAME...]|prefix BUILDDIR|all [BUILDDIR]" >&2; exit 2 ;;
esac
