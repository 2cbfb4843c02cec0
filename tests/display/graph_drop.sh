#!/usr/bin/env bash
# Columns dropped on a graph: a worksheet's column heading dragged with the mouse out of
# its window and let go over a graph window beside it plots the column in that graph. Then
# the Tools toolbar: a double click on the Text tool opens the label dialog of the text
# tool's options; one on the Pointer tool opens nothing.
#   graph_drop.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

qxd "script win -t wks; wks.ncols = 3; for (i = 1; i <= 10; i += 1) { col(A)[i] = i; col(B)[i] = i; col(C)[i] = 11 - i }" ||
    qxd_fail "worksheet"
# Column B alone plotted: the graph starts with one plot.
qxd settle
qxd "cell 2 -1" || qxd_fail "heading B"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $(((l + r) / 2)) $(((t + b) / 2))
qxd_plot 33249 || qxd_fail "the line plot made no graph window"
graph=$QXD_GRAPH
worksheet=$QXD_WORKSHEET
qxd "script layer -c" && qxd_expect 'count == 1'

# Side by side: the graph's view, then the worksheet's heading C.
qxd "invoke 57652" || qxd_fail "Tile Vertically"
qxd "activate $graph" && qxd_stable_view || qxd_fail "graph view"
gx=$(((vl + vr) / 2)) gy=$(((vt + vb) / 2))
qxd "activate $worksheet" && qxd settle || qxd_fail "worksheet active"
qxd "cell 3 -1" || qxd_fail "heading C"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
hx=$(((l + r) / 2)) hy=$(((t + b) / 2))
qxd_screenshot "$ARTIFACTS/before-drop.png"

# Pressed on the heading, the pointer glides down out of the worksheet (the column stays
# the one chosen), then over to the graph, and lets go there.
qxd "view" || qxd_fail "worksheet view"
read -r _ _ _ _ _ wb <<<"${QXD_ANSWER[0]}"
qxd_move "$hx" "$hy"
xdotool mousedown 1
qxd_glide "$hx" "$hy" "$hx" $((wb + 20)) 8
qxd_glide "$hx" $((wb + 20)) "$gx" "$gy" 8
sleep 0.5
xdotool mousemove $((gx + 2)) $((gy + 2)) sleep 0.5 mouseup 1
qxd settle
qxd_screenshot "$ARTIFACTS/after-drop.png"
qxd windows
[ "${#QXD_ANSWER[@]}" -eq 0 ] || qxd_fail "the drop showed a window: ${QXD_ANSWER[*]}"
qxd "activate $graph" && qxd settle || qxd_fail "graph active"
qxd "script layer -c" || qxd_fail "layer -c"
qxd_wait_for 'count == 2' 0 || qxd_fail "the dropped column was not plotted"
qxd "dump $(qxd_winpath "$QXD_TMP/after.txt")" || qxd_fail "dump"
grep -q 'Data1_C' "$QXD_TMP/after.txt" || qxd_fail "the graph plots no column C"

# The Tools toolbar's Text tool: a click chooses it, a double click opens its options.
qxd "script system.toolbar.open(Tools)" || qxd_fail "open the Tools toolbar"
qxd settle
qxd "button 59401 34978" || qxd_fail "no Text tool on the Tools toolbar"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_double_click_opens "Text Control" $(((l + r) / 2)) $(((t + b) / 2)) ||
    qxd_fail "a double click on the Text tool opened no label dialog"
qxd_screenshot "$ARTIFACTS/text-tool-options.png"
qxd_close_windows || qxd_fail "the label dialog did not close"

# The Pointer tool has no options.
qxd "button 59401 34976" || qxd_fail "no Pointer tool"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
xdotool mousemove --sync $(((l + r) / 2)) $(((t + b) / 2)) click --repeat 2 --delay 80 1
qxd settle
qxd windows
[ "${#QXD_ANSWER[@]}" -eq 0 ] || qxd_fail "a double click on the Pointer tool opened a window: ${QXD_ANSWER[*]}"

qxd_close_windows || qxd_fail "close"
qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS: before-drop.png after-drop.png text-tool-options.png"
