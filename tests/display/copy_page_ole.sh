#!/usr/bin/env bash
# A graph as an OLE server: Copy Page, read back from the clipboard by another program;
# the copied graph embedded in a small container (the program started a second time by
# OLE to serve it), drawn, saved, loaded again and drawn from the saved picture without the
# server, and opened for editing in the server's own window.
#   copy_page_ole.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

container() { # runs the container with its arguments; its output lines in OUT
    OUT=$(cd "$QXD_BIN" && wine "$QXD_BIN/qxolecontainer.exe" "$@" 2>>"$QXD_TMP/container.log" 7>&- | tr -d '\r')
    printf '%s\n' "$OUT" | sed 's/^/container: /' >&2
}
container_start() { # the container in the background, its output kept for container_wait
    # Straight into the file, no filter between: the lines are read while it still runs.
    (cd "$QXD_BIN" && exec wine "$QXD_BIN/qxolecontainer.exe" "$@" 2>>"$QXD_TMP/container.log" 7>&- \
        >"$QXD_TMP/container.out") &
    CONTAINER_PID=$!
}
container_wait() {
    wait "$CONTAINER_PID"
    OUT=$(tr -d '\r' <"$QXD_TMP/container.out")
    printf '%s\n' "$OUT" | sed 's/^/container: /' >&2
}
has() { printf '%s\n' "$OUT" | grep -q -- "$1" || qxd_fail "$2: no '$1' in: $OUT"; }

# Two curves: the second is drawn red, a colour to look for in the server's window.
qxd "script win -t wks; wks.ncols = 3; for (i = 1; i <= 20; i += 1) { col(A)[i] = i; col(B)[i] = i * i; col(C)[i] = 400 - i * i }" ||
    qxd_fail "worksheet"
qxd "invoke 33249" && qxd settle || qxd_fail "plot"
qxd "invoke 34097" || qxd_fail "Copy Page"
qxd settle
qxd_screenshot "$ARTIFACTS/graph.png"

# The clipboard as another program sees it: the picture in both forms, the embedding.
container clipboard
has "^format Embed Source$" "clipboard"
has "^format Object Descriptor$" "clipboard"
# Both pictures show the same part of the page: by the margin control at first ("Border"),
# the drawing with a border, less than the 10 x 7.5 inch page.
has "^metafilepict 8 " "the metafile picture"
read -r _ _ px py _ <<<"$(printf '%s\n' "$OUT" | grep '^metafilepict ')"
read -r _ ex ey _ <<<"$(printf '%s\n' "$OUT" | grep '^enhmetafile ')"
qxd_log "picture $px x $py, enhanced metafile $ex x $ey (HIMETRIC)"
[ "${px:-0}" -gt 10000 ] && [ "$px" -lt 25400 ] && [ "${py:-0}" -gt 7000 ] && [ "$py" -lt 19050 ] ||
    qxd_fail "the metafile picture is not the drawing's part of the page: $px x $py"
[ $((ex - px)) -le 2 ] && [ $((px - ex)) -le 2 ] && [ $((ey - py)) -le 2 ] && [ $((py - ey)) -le 2 ] ||
    qxd_fail "the enhanced metafile ($ex x $ey) is not the picture's part ($px x $py)"
has "^embedsource Quorix50.Graph [1-9]" "the embedding"

# The copied graph embedded: OLE starts the program again to serve it.
file=$QXD_TMP/embedded.stg
container paste "$(qxd_winpath "$file")"
has "^embedded$" "paste"
has "^extent 25400 19050$" "paste"
printf '%s\n' "$OUT" | awk '/^drawn /{exit !($2 > 1000)}' || qxd_fail "the embedded graph drew nothing: $OUT"
has "^saved 0x00000000$" "paste"
has "^closed 0x00000000$" "paste"

# Loaded again: drawn from the picture saved with it, the server not running.
container_start show "$(qxd_winpath "$file")" 4
sleep 2.5
qxd_screenshot "$ARTIFACTS/container.png"
container_wait
has "^loaded running=0$" "load"
printf '%s\n' "$OUT" | awk '/^drawn /{exit !($2 > 1000)}' || qxd_fail "the loaded graph drew nothing: $OUT"

# Opened for editing: the server shows the graph in its own window.
container_start open "$(qxd_winpath "$file")" 10
shown=
for try in $(seq 60); do
    sleep 0.5
    shown=$(tr -d '\r' <"$QXD_TMP/container.out" 2>/dev/null | grep "^server window ")
    [ -n "$shown" ] && break
done
sleep 3
qxd_screenshot "$ARTIFACTS/server.png"
container_wait
has "^opened 0x00000000 running=1$" "open"
has "^server window .* page Graph1 at " "open"
has "^closed 0x00000000$" "open"
read -r l t r b <<<"${shown##* at }"
red=$(qxd_count_of "$ARTIFACTS/server.png" "#FF0000" "$l" "$t" "$r" "$b")
qxd_log "red pixels in the server's page window: $red"
[ "$red" -gt 20 ] || qxd_fail "the server's window shows no red curve (server.png)"

qxd_exit_answering_no
