#!/usr/bin/env bash
# Shows a built program as a person would see it and saves a picture of the screen.
#   tools/screenshot.sh [-s seconds] [-g WxH] out.png program.exe [args]
# Runs the program under Xvfb in a prefix that draws with the X11 driver (created on
# first use beside the headless one), waits, captures the screen, then ends the program.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
build=${BUILD:-$top/build}
seconds=3
geometry=1024x768
while getopts s:g: opt; do
    case $opt in
        s) seconds=$OPTARG ;;
        g) geometry=$OPTARG ;;
        *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))
out=${1:?output PNG}
prog=${2:?program}
shift 2
[ -f "$prog" ] || [ ! -f "$build/bin/$prog" ] || prog=$build/bin/$prog

"$here/setup.sh" packages
# Xvfb chooses a free display number and writes it to the descriptor.
numberfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 "${geometry}x24" -nolisten tcp 3>"$numberfile" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$numberfile"' EXIT
for _ in $(seq 200); do
    [ -s "$numberfile" ] && break
    sleep 0.05
done
[ -s "$numberfile" ] || { echo "screenshot: Xvfb did not start" >&2; exit 1; }
display=:$(head -n 1 "$numberfile")
export DISPLAY=$display
"$here/setup.sh" prefix "$build" x11
export WINEPREFIX=$build/wineprefix-x11 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine "$prog" "$@" </dev/null >/dev/null 2>&1 &
sleep "$seconds"
import -display "$display" -window root "$out"
wineserver -k >/dev/null 2>&1 || true
echo "screenshot: $out"
