#!/usr/bin/env bash
# A linked graph: a graph saved in a project is registered as running under the project's
# file and the page's name; Copy Page puts a link to it on the clipboard; a small container
# binds the link to the running graph and shows its picture; the data change, Update
# Client sends the new picture, and the container shows it.
#   link_ole.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

out=$QXD_TMP/link.out
lines() { tr -d '\r' <"$out" 2>/dev/null; }
wait_line() { # PATTERN: up to 30 s for the container to print a matching line
    local try
    for try in $(seq 120); do
        lines | grep -q -- "$1" && return 0
        sleep 0.25
    done
    return 1
}

# One curve rising from the bottom left: the band the container measures (upper left of
# the layer) stays empty.
qxd "script win -t wks; wks.ncols = 2; for (i = 1; i <= 20; i += 1) { col(A)[i] = i; col(B)[i] = i * i }" ||
    qxd_fail "worksheet"
qxd "invoke 33249" && qxd settle || qxd_fail "plot"
project=$(qxd_winpath "$QXD_TMP/linked.qpj")
qxd "script save $project" && qxd settle || qxd_fail "save the project"
qxd "invoke 34097" && qxd settle || qxd_fail "Copy Page"

(cd "$QXD_BIN" && exec wine "$QXD_BIN/qxolecontainer.exe" link 40 2>>"$QXD_TMP/container.log" 7>&- >"$out") &
container=$!
wait_line "^picture " || { lines >&2; qxd_fail "the container shows no linked picture"; }
lines | sed 's/^/container: /' >&2
lines | grep -q "^linksource composite Quorix50.Graph .*linked.qpj\\\\Graph1$" ||
    qxd_fail "the link names no page inside the project"
lines | grep -q "^bound advise 0x00000000$" || qxd_fail "the link did not bind to the running graph"
before=$(lines | sed -n 's/^picture .* band \([0-9]*\)$/\1/p')
sleep 1
qxd_screenshot "$ARTIFACTS/linked.png"

# The curve now falls from the top left; Update Client tells the linked container.
qxd "script for (i = 1; i <= 20; i += 1) { Data1_B[i] = 400 - i * i }" && qxd settle || qxd_fail "change the data"
qxd "invoke 34100" || qxd_fail "Update Client"
wait_line "^update 1 " || { lines >&2; qxd_fail "the container heard of no change"; }
after=$(lines | sed -n 's/^update 1 .* band \([0-9]*\)$/\1/p')
sleep 1
qxd_screenshot "$ARTIFACTS/updated.png"
lines | sed 's/^/container: /' >&2
qxd_log "ink in the upper-left band: before $before, after $after"
[ "${before:-0}" -lt 20 ] || qxd_fail "the rising curve already drew into the upper-left band ($before)"
[ "${after:-0}" -gt 40 ] || qxd_fail "the updated picture does not show the falling curve ($after)"

kill "$container" 2>/dev/null
wait "$container" 2>/dev/null
qxd_exit_answering_no
