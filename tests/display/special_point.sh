#!/usr/bin/env bash
# A special point from the program: a scatter of y = x; a double click with Ctrl held on
# the symbol nearest the middle opens Plot Details on that point alone, listed under its
# plot; its Symbol page gives it a blue edge; after OK that one symbol is blue, the others
# stay black, and the plot keeps the point in the state dump.
#   special_point.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

qxd "script win -t wks; for (i = 1; i <= 10; i += 1) { col(A)[i] = i; col(B)[i] = i }" || qxd_fail "worksheet"
qxd_plot 33248 maximize || qxd_fail "the scatter made no graph window"
qxd_stable_view || qxd_fail "view"

# The black pixel nearest the view's middle, in its middle half, found twice in a row (the
# window may still be drawing): a symbol of y = x.
read -r px py < <(qxd_steady_nearest "$QXD_TMP/scatter.png" "#000000" "$vl" "$vt" "$vr" "$vb")
[ -n "${px:-}" ] || qxd_fail "no black symbol in the scatter"
qxd_screenshot "$ARTIFACTS/scatter-before.png"

DIALOG=
for attempt in 1 2 3; do
    xdotool mousemove --sync "$px" "$py" keydown ctrl click --repeat 2 --delay 80 1 keyup ctrl
    qxd_wait_window "Plot Details" 2 && { DIALOG=$QXD_WINDOW; break; }
    xdotool mousemove --sync $((px + 30)) $((py + 30)) sleep 0.5
done
[ -n "$DIALOG" ] || qxd_fail "a double click with Ctrl on a symbol opened no Plot Details"
qxd settle
qxd_screenshot "$ARTIFACTS/point-details.png"
qxd "treeitem $DIALOG 1105 Data1_B" || qxd_fail "the point's plot is not in the tree"

# Edge colour: Automatic, Black, Red, Green, Blue.
qxd "control $DIALOG 1309" || qxd_fail "the point's Symbol page is not shown"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $(((l + r) / 2)) $(((t + b) / 2))
qxd_key Home Down Down Down Down Return
qxd settle
qxd_screenshot "$ARTIFACTS/point-symbol-blue.png"
qxd "control $DIALOG 1" || qxd_fail "no OK"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $(((l + r) / 2)) $(((t + b) / 2))
qxd "gone $DIALOG 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "Plot Details did not close on OK"
qxd_stable_view || qxd_fail "view"
# The window may still be drawing: a few pictures until the point shows.
for round in 1 2 3 4 5; do
    qxd_screenshot "$ARTIFACTS/scatter-point-blue.png"
    near=$(qxd_count_of "$ARTIFACTS/scatter-point-blue.png" "#0000FF" "$((px - 15))" "$((py - 15))" "$((px + 15))" "$((py + 15))")
    [ "$near" -gt 5 ] && break
    sleep 0.5
done
all=$(qxd_count_of "$ARTIFACTS/scatter-point-blue.png" "#0000FF" "$vl" "$vt" "$vr" "$vb")
qxd_log "blue pixels: $near at the point, $all in the view"
[ "$near" -gt 5 ] && [ "$all" -lt $((near + 10)) ] || qxd_fail "not just the point's symbol is blue"
qxd "dump $(qxd_winpath "$QXD_TMP/after.txt")" || qxd_fail "dump"
grep -q 'specialPoint [0-9]* = "color' "$QXD_TMP/after.txt" || qxd_fail "the plot keeps no special point"

qxd_close_windows || qxd_fail "close"
qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS: scatter-before.png point-details.png point-symbol-blue.png scatter-point-blue.png"
