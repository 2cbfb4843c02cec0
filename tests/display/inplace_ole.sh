#!/usr/bin/env bash
# A graph edited in place inside another program's window: the copied graph embedded in a
# small container, activated in place there (the server's view inside the container's
# window), resized by its hatched border, edited by a command of the graph's in-place menu as the container's merged
# menu sends it, deactivated, and the container's picture of the object showing the edit.
#   inplace_ole.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

container() { # runs the container with its arguments; its output lines in OUT
    OUT=$(cd "$QXD_BIN" && wine "$QXD_BIN/qxolecontainer.exe" "$@" 2>>"$QXD_TMP/container.log" 7>&- | tr -d '\r')
    printf '%s\n' "$OUT" | sed 's/^/container: /' >&2
}
has() { printf '%s\n' "$OUT" | grep -q -- "$1" || qxd_fail "$2: no '$1' in: $OUT"; }
step() { # waits for the container to reach the step; its output so far in OUT
    for try in $(seq 240); do
        OUT=$(tr -d '\r' <"$QXD_TMP/container.out" 2>/dev/null)
        printf '%s\n' "$OUT" | grep -q "^step $1$" && return 0
        printf '%s\n' "$OUT" | grep -q "^error" && break
        kill -0 "$CONTAINER_PID" 2>/dev/null || break
        sleep 0.5
    done
    printf '%s\n' "$OUT" | sed 's/^/container: /' >&2
    qxd_fail "the container did not reach '$1'"
}
go() { touch "$file.$1"; }

# Editing in place is the user's choice (Options, Graph page): kept in the settings that
# the server OLE starts for the container reads.
qxd "script system.operations.inplace = 1; system.savestartup()" || qxd_fail "in-place option"
qxd_wait_for "system.operations.inplace == 1" 0 || qxd_fail "the in-place option is not on"

# Two curves, the second red, copied as an embeddable graph.
qxd "script win -t wks; wks.ncols = 3; for (i = 1; i <= 20; i += 1) { col(A)[i] = i; col(B)[i] = i * i; col(C)[i] = 400 - i * i }" ||
    qxd_fail "worksheet"
qxd "invoke 33249" && qxd settle || qxd_fail "plot"
qxd "invoke 34097" || qxd_fail "Copy Page"
qxd settle

file=$QXD_TMP/inplace.stg
container paste "$(qxd_winpath "$file")"
has "^saved 0x00000000$" "paste"

(cd "$QXD_BIN" && exec wine "$QXD_BIN/qxolecontainer.exe" inplace "$(qxd_winpath "$file")" \
    2>>"$QXD_TMP/container.log" 7>&- >"$QXD_TMP/container.out") &
CONTAINER_PID=$!

# Active in place: the server's window lies over the object's place in the container.
step active
sleep 2
qxd_screenshot "$ARTIFACTS/inplace-active.png"
has "^activated 0x00000000$" "activation"
has "^activeobject " "activation"
before=$(printf '%s\n' "$OUT" | awk '/^drawn /{print $2; exit}')
read -r _ _ l t r b _ _ cl ct cr cb <<<"$(printf '%s\n' "$OUT" | grep "^inplace window ")"
qxd_log "in-place window $l $t $r $b in the container's client area $cl $ct $cr $cb; menu: $(printf '%s\n' "$OUT" | grep '^menu\|^insertmenus' | tr '\n' ' ')"
[ "$l" -ge "$cl" ] && [ "$t" -ge "$ct" ] && [ "$r" -le "$cr" ] && [ "$b" -le "$cb" ] && [ $((r - l)) -gt 300 ] ||
    qxd_fail "the in-place window is not inside the container's window"
red=$(qxd_count_of "$ARTIFACTS/inplace-active.png" "#FF0000" "$l" "$t" "$r" "$b")
qxd_log "red pixels in the in-place window: $red"
[ "$red" -gt 20 ] || qxd_fail "the in-place window shows no red curve (inplace-active.png)"

# The hatched border's bottom right corner dragged: the container grants the new place.
xdotool mousemove --sync $((r - 2)) $((b - 2)) mousedown 1
qxd_glide $((r - 2)) $((b - 2)) $((r + 28)) $((b + 18)) 5
xdotool mouseup 1
for try in $(seq 40); do
    OUT=$(tr -d '\r' <"$QXD_TMP/container.out")
    printf '%s\n' "$OUT" | grep -q "^moved window " && break
    sleep 0.25
done
read -r _ _ ml mt mr mb <<<"$(printf '%s\n' "$OUT" | grep "^moved window " | tail -1)"
qxd_log "after the drag: $(printf '%s\n' "$OUT" | grep '^posrect') window $ml $mt $mr $mb"
[ "${ml:-0}" = "$l" ] && [ "${mt:-0}" = "$t" ] && [ "${mr:-0}" = $((r + 30)) ] && [ "${mb:-0}" = $((b + 20)) ] ||
    qxd_fail "dragging the in-place window's corner did not resize it ($l $t $r $b, then ${ml:-} ${mt:-} ${mr:-} ${mb:-})"
sleep 1
qxd_screenshot "$ARTIFACTS/inplace-resized.png"
go active

# Edited: a new layer with a top X and a right Y axis.
step edited
sleep 1
qxd_screenshot "$ARTIFACTS/inplace-edited.png"
go edited

# Deactivated: the server's window is gone and the container draws the object's new
# picture, with the new axes in it.
step deactivated
qxd_screenshot "$ARTIFACTS/inplace-deactivated.png"
has "^uideactivated$" "deactivation"
has "^inplacedeactivated$" "deactivation"
has "^deactivated inplace=0$" "deactivation"
after=$(printf '%s\n' "$OUT" | awk '/^drawn /{n = $2} END {print n}')
qxd_log "ink of the container's picture before $before, after $after"
[ "$after" -gt "$before" ] || qxd_fail "the container's picture did not take the edit ($before, then $after)"
go deactivated
wait "$CONTAINER_PID"
OUT=$(tr -d '\r' <"$QXD_TMP/container.out")
has "^closed 0x00000000$" "close"

qxd_exit_answering_no
