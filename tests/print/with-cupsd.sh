#!/usr/bin/env bash
# Runs a Windows program of the build beside a private print server:
#   with-cupsd.sh BUILDDIR program.exe [args]
# The server (cupsd) lives in a temporary folder with its own configuration and a local
# socket, and has one queue, QuorixFile, the default, that writes each job as it comes
# (PostScript from Wine's driver) to job-<id>.ps in the folder QX_PRINT_OUTPUT names.
# Wine's print spooler finds it through CUPS_SERVER. Exit 77 (skipped) when cupsd is not
# installed; the server is stopped whatever happens.
set -u
build=$1; shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cupsd=$(command -v cupsd || echo /usr/sbin/cupsd)
if [ ! -x "$cupsd" ]; then
    echo "SKIPPED: cupsd is not installed (Debian package cups-daemon; tools/setup.sh installs it)"
    exit 77
fi

dir=$(mktemp -d "${TMPDIR:-/tmp}/qxcups.XXXXXX")
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
mkdir -p "$dir"/{root,spool,tmp,cache,state,log,out,bin/backend}
# The server's helpers run as its unprivileged user when it runs as root.
chmod 755 "$dir"
chmod 777 "$dir/out"
ln -s /usr/lib/cups/daemon "$dir/bin/daemon"
ln -s /usr/lib/cups/notifier "$dir/bin/notifier"
cat > "$dir/bin/backend/qxfile" <<'BACKEND'
#!/bin/sh
# qxfile:/folder -- each job to /folder/job-<id>.ps, whole or not at all.
if [ $# -eq 0 ]; then echo 'file qxfile "Unknown" "Job files"'; exit 0; fi
folder="${DEVICE_URI#qxfile:}"
tmp="$folder/.job-$1"
if [ -n "${6:-}" ]; then cat "$6" > "$tmp"; else cat > "$tmp"; fi && mv "$tmp" "$folder/job-$1.ps"
BACKEND
chmod 700 "$dir/bin/backend/qxfile"
cat > "$dir/root/cups-files.conf" <<CONF
ServerRoot $dir/root
ServerBin $dir/bin
RequestRoot $dir/spool
TempDir $dir/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
SystemGroup root
CONF
cat > "$dir/root/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel info
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
CONF
cat > "$dir/root/printers.conf" <<CONF
<DefaultPrinter QuorixFile>
Info Test printer writing job files
DeviceURI qxfile:$dir/out
State Idle
Accepting Yes
Shared No
</DefaultPrinter>
CONF

"$cupsd" -f -c "$dir/root/cupsd.conf" -s "$dir/root/cups-files.conf" </dev/null >"$dir/log/cupsd.out" 2>&1 &
pid=$!
for _ in $(seq 100); do
    [ -S "$dir/cups.sock" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if [ ! -S "$dir/cups.sock" ]; then
    echo "the private print server did not start:"
    cat "$dir/log/cupsd.out" "$dir/log/error_log" 2>/dev/null
    exit 1
fi

export CUPS_SERVER=$dir/cups.sock QX_PRINT_OUTPUT=$dir/out
timeout 240 "$here/../../tools/wine-run.sh" "$build" "$@"
rc=$?
if [ $rc -ne 0 ]; then
    echo "--- print server log"
    tail -n 30 "$dir/log/error_log" 2>/dev/null
fi
exit $rc
