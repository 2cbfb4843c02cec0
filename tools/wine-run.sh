#!/usr/bin/env bash
# Runs a Windows program of the build under Wine:  wine-run.sh BUILDDIR program.exe [args]
# CTest uses it as the cross-compiling emulator. It keeps one persistent Wine server and
# Wine's own services running for the build's prefix, started detached from the caller's
# pipes, so each program starts in a few milliseconds and CTest never waits on the daemons.
# A probe program runs first (below), so that a failed Wine start is told from a failed
# program without ever starting a program twice.
set -u
build=$(cd "$1" && pwd); shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

export WINEPREFIX=$build/wineprefix WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

exec 9>"$build/.wine-run.lock"
flock 9
[ -f "$WINEPREFIX/.ready" ] || "$here/setup.sh" prefix "$build" >&2
pidfile=$WINEPREFIX/.server.pid
if ! { [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; }; then
    setsid wineserver -f -p </dev/null >/dev/null 2>&1 &
    echo $! > "$pidfile"
    # Starts explorer, services and device manager once; they stay with the server.
    setsid wine cmd.exe /c exit </dev/null >/dev/null 2>&1
fi
# The desktop process ends soon after the last window has gone; a program holding a
# hidden window keeps it, so test programs do not each start one on their output pipes.
keeper=$build/bin/qxdesktop.exe
keeperpid=$WINEPREFIX/.desktop.pid
if [ -f "$keeper" ] && ! { [ -f "$keeperpid" ] && kill -0 "$(cat "$keeperpid")" 2>/dev/null; }; then
    ready=$WINEPREFIX/.desktop.ready
    rm -f "$ready"
    setsid wine "$keeper" "Z:$ready" </dev/null >/dev/null 2>&1 &
    echo $! > "$keeperpid"
    for _ in $(seq 200); do
        [ -f "$ready" ] && break
        sleep 0.05
    done
fi
flock -u 9
exec 9>&-

# Now and then, on a loaded machine, wine ends within a few milliseconds with status 1 and
# no word, before any program could have started. A program that fails quickly ends just
# as fast, so time and status cannot tell the two apart, and a program must never run
# twice (its side effects would happen twice). So the build's probe program, which always
# ends with 0, is started first: a probe start that fails is Wine's failure and is tried
# again; then the program is started, once.
probe=$build/bin/qxwineprobe.exe
if [ -f "$probe" ]; then
    for attempt in 1 2 3; do
        wine "$probe" </dev/null >/dev/null 2>&1
        rc=$?
        [ $rc -eq 0 ] && break
        echo "wine-run: wine could not start a program (status $rc, attempt $attempt)" >&2
    done
fi
exec wine "$@"
