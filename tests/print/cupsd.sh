# A private print server for tests, sourced by the scripts that need one:
#   qxcups_start     starts cupsd in a new temporary folder with its own configuration and
#                    a local socket, and one queue, QuorixFile, the default, that writes each
#                    job as it comes (PostScript from Wine's driver) to job-<id>.ps in the
#                    folder QX_PRINT_OUTPUT names; exports CUPS_SERVER, through which Wine's
#                    print spooler finds it. Returns 77 when cupsd is not installed, 1 when
#                    it does not start (its log on the output).
#   qxcups_stop      stops it and removes the folder; keeps the caller's exit status.
#   qxcups_log       the end of its log.

qxcups_start() {
    local cupsd dir
    cupsd=$(command -v cupsd || echo /usr/sbin/cupsd)
    if [ ! -x "$cupsd" ]; then
        echo "SKIPPED: cupsd is not installed (Debian package cups-daemon; tools/setup.sh installs it)"
        return 77
    fi
    QXCUPS_DIR=$(mktemp -d "${TMPDIR:-/tmp}/qxcups.XXXXXX")
    dir=$QXCUPS_DIR
    mkdir -p "$dir"/{root,spool,tmp,cache,state,log,out,bin/backend}
    # The server's helpers run as its unprivileged user when it runs as root.
    chmod 755 "$dir"
    chmod 777 "$dir/out"
    ln -s /usr/lib/cups/daemon "$dir/bin/daemon"
    ln -s /usr/lib/cups/notifier "$dir/bin/notifier"
    # The queue is raw: Wine's driver makes the PostScript, which arrives as it was sent.
    cat >"$dir/bin/backend/qxfile" <<'BACKEND'
#!/bin/sh
# qxfile:/folder -- each job to /folder/job-<id>.ps, whole or not at all.
if [ $# -eq 0 ]; then echo 'file qxfile "Unknown" "Job files"'; exit 0; fi
folder="${DEVICE_URI#qxfile:}"
tmp="$folder/.job-$1"
if [ -n "${6:-}" ]; then cat "$6" > "$tmp"; else cat > "$tmp"; fi && mv "$tmp" "$folder/job-$1.ps"
BACKEND
    chmod 700 "$dir/bin/backend/qxfile"
    cat >"$dir/root/cups-files.conf" <<CONF
ServerRoot $dir/root
ServerBin $dir/bin
RequestRoot $dir/spool
TempDir $dir/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
Printcap $dir/printcap
SystemGroup root
CONF
    cat >"$dir/root/cupsd.conf" <<CONF
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
    cat >"$dir/root/printers.conf" <<CONF
<DefaultPrinter QuorixFile>
Info Test printer writing job files
DeviceURI qxfile:$dir/out
State Idle
Accepting Yes
Shared No
</DefaultPrinter>
CONF
    "$cupsd" -f -c "$dir/root/cupsd.conf" -s "$dir/root/cups-files.conf" </dev/null >"$dir/log/cupsd.out" 2>&1 &
    QXCUPS_PID=$!
    local _
    for _ in $(seq 100); do
        [ -S "$dir/cups.sock" ] && break
        kill -0 "$QXCUPS_PID" 2>/dev/null || break
        sleep 0.1
    done
    if [ ! -S "$dir/cups.sock" ]; then
        echo "the private print server did not start:"
        cat "$dir/log/cupsd.out" "$dir/log/error_log" 2>/dev/null
        return 1
    fi
    export CUPS_SERVER=$dir/cups.sock QX_PRINT_OUTPUT=$dir/out
}

qxcups_stop() {
    local rc=$?
    if [ -n "${QXCUPS_PID:-}" ]; then
        kill "$QXCUPS_PID" 2>/dev/null && wait "$QXCUPS_PID" 2>/dev/null
        QXCUPS_PID=
    fi
    [ -n "${QXCUPS_DIR:-}" ] && rm -rf "$QXCUPS_DIR"
    QXCUPS_DIR=
    return $rc
}

qxcups_log() {
    echo "--- print server log"
    tail -n 30 "$QXCUPS_DIR/log/error_log" 2>/dev/null
}

# The pages of the PostScript jobs the server received, one number a job in the order
# of the jobs.
qxcups_job_pages() {
    local job
    for job in $(ls "$QX_PRINT_OUTPUT"/job-*.ps 2>/dev/null | sort -t- -k2 -n); do
        grep -c '^%%Page:' "$job"
    done
}
