#!/usr/bin/env bash
# A graph window as an OLE container: Insert Object embeds a new graph served by the
# program started a second time by OLE; an edit in the server, sent with File Update,
# shows in the picture the window draws once the server has closed; a double-click on the
# picture opens the object in a server again, with the edit.
#   embed_object.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

# Requests to the newest instance of the program; its answers in OUT, and in SERVER_MAIN
# the main window of the instance that answered.
server() {
    OUT=$(printf '%s\n' "$@" | (cd "$QXD_BIN" && wine "$QXD_BIN/qxdrive.exe" quorix61.exe 30 \
        2>>"$QXD_TMP/server-driver.log" 7>&-) | tr -d '\r')
    SERVER_MAIN=$(printf '%s\n' "$OUT" | awk '/^attached /{print $3; exit}')
}
programs() { # how many instances of the program show a main window
    xdotool search --onlyvisible --name '^Quorix 6\.1' 2>/dev/null | wc -l
}
wait_server() { # up: until a second instance answers; down: until only the first is left
    local try
    for try in $(seq 60); do
        case $1 in
            up)
                server ping
                [ -n "$SERVER_MAIN" ] && [ "$SERVER_MAIN" != "$MAIN" ] && return 0 ;;
            down) [ "$(programs)" -le 1 ] && return 0 ;;
        esac
        sleep 0.5
    done
    return 1
}

qxd main || qxd_fail "main window"
MAIN=$(awk '{print $2}' <<<"${QXD_ANSWER[0]}")
qxd "script win -t wks; wks.ncols = 2; for (i = 1; i <= 10; i += 1) { col(A)[i] = i; col(B)[i] = i }" ||
    qxd_fail "worksheet"
qxd_plot 33249 maximize
qxd_stable_view || qxd_fail "view"

# Insert Object lists the graph among the objects the system can insert; Q picks it.
qxd "invoke 57856" || qxd_fail "Insert Object"
printf '%s\n' "${QXD_ANSWER[@]}" | grep -q "^window .* modal Insert Object$" ||
    qxd_fail "no Insert Object dialog: ${QXD_ANSWER[*]}"
qxd_screenshot "$ARTIFACTS/insert.png"
qxd_key q Return
wait_server up || qxd_fail "no server started for the new graph"
qxd_screenshot "$ARTIFACTS/server.png"

# The edit: a second curve (red) in the embedded graph, sent to the container by File
# Update from the graph's window, then the server ends.
data="win -t wks; wks.ncols = 3; for (i = 1; i <= 10; i += 1) { col(A)[i] = i; col(B)[i] = i; col(C)[i] = 10 - i }"
server "script $data" "script win -a Graph1" "script worksheet -p Line Line" children
graph=$(printf '%s\n' "$OUT" | awk '/^child .* Graph1$/{print $2; exit}')
[ -n "$graph" ] || qxd_fail "the server shows no graph: $OUT"
server "activate $graph" "invoke 57610"
qxd_screenshot "$ARTIFACTS/edited.png"
server "post 57665"
wait_server down || qxd_fail "the server did not end"
qxd settle
qxd_screenshot "$ARTIFACTS/container.png"
red=$(qxd_count_of "$ARTIFACTS/container.png" "#FF0000" $((vl + 10)) $((vt + 10)) $((vl + 210)) $((vt + 210)))
qxd_log "red pixels in the embedded graph's picture: $red"
[ "$red" -gt 20 ] || qxd_fail "the container's picture does not show the edit (container.png)"

# A double-click on the picture opens the object, edit and all, in a new server.
xdotool mousemove --sync $((vl + 110)) $((vt + 110)) click --repeat 2 --delay 80 1
wait_server up || qxd_fail "the double-click opened no server"
plots=
for try in $(seq 10); do
    server "script layer -c" "eval count"
    plots=$(printf '%s\n' "$OUT" | awk '/^value /{print $2}')
    [ "$plots" = 2 ] && break
    sleep 0.5
done
qxd_screenshot "$ARTIFACTS/reopened.png"
[ "$plots" = 2 ] || qxd_fail "the reopened graph does not plot two curves: $OUT"
server "post 57665"
wait_server down || qxd_fail "the second server did not end"

qxd_exit_answering_no
