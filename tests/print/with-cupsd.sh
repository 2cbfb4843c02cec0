#!/usr/bin/env bash
# Runs a Windows program of the build beside a private print server (cupsd.sh):
#   with-cupsd.sh BUILDDIR program.exe [args]
# Exit 77 (skipped) when cupsd is not installed; the server is stopped whatever happens.
set -u
build=$1; shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/cupsd.sh"
trap qxcups_stop EXIT
qxcups_start || exit $?
timeout 240 "$here/../../tools/wine-run.sh" "$build" "$@"
rc=$?
[ $rc -ne 0 ] && qxcups_log
exit $rc
