#!/usr/bin/env bash
# A 3D scatter's parts in Plot Details as a person uses them: X, Y and Z columns plotted as
# a 3D scatter; a double click on the graph opens Plot Details on the plot, whose tree
# lists its points (checked) and their three projections (not checked) under it, and whose
# only page is Edit Control. Cancel leaves the window as it was; a second time a click on
# the XY projection's check box and OK, and the window draws the projection on the floor
# (many pixels change) and the plot keeps it shown in the state dump. Then the points'
# Drop Lines page: a line parallel to Z, drawn from each point to the floor after OK.
#   scatter_parts.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

differing() { # picture picture left top right bottom: pixels that differ inside the rectangle
    local crop="$(($5 - $3))x$(($6 - $4))+$3+$4"
    convert "$1" -crop "$crop" +repage "$QXD_TMP/a.png" && convert "$2" -crop "$crop" +repage "$QXD_TMP/b.png" &&
        compare -metric AE "$QXD_TMP/a.png" "$QXD_TMP/b.png" null: 2>&1 | awk '{ print int($1) }'
}

qxd "script win -t wks; wks.ncols = 3; wks.col3.type = 6; for (i = 1; i <= 20; i += 1) { col(A)[i] = i; col(B)[i] = mod(7 * i, 20); col(C)[i] = 2 + mod(i, 5) }" ||
    qxd_fail "worksheet"
qxd_plot 35568 maximize || qxd_fail "the 3D scatter made no graph window: ${QXD_ANSWER[*]}"
qxd_stable_view || qxd_fail "view"

open_details() { # picture name: double-clicks the middle of the view until Plot Details opens
    local attempt
    DIALOG=
    for attempt in 1 2 3; do
        xdotool mousemove --sync $(((vl + vr) / 2)) $(((vt + vb) / 2)) click --repeat 2 --delay 80 1
        qxd_wait_window "Plot Details" 5 && { DIALOG=$QXD_WINDOW; break; }
        xdotool mousemove --sync $(((vl + vr) / 2 + 30)) $(((vt + vb) / 2 + 30)) sleep 0.5
    done
    [ -n "$DIALOG" ] || qxd_fail "a double click on the 3D scatter opened no Plot Details"
    qxd settle
    qxd_screenshot "$ARTIFACTS/$1.png"
}
# A picture of the window once two in a row show the view alike (it may still be drawing).
steady_picture() { # file
    local round
    qxd_screenshot "$1"
    for round in 1 2 3 4 5; do
        sleep 0.5
        qxd_screenshot "$QXD_TMP/again.png"
        [ "$(differing "$1" "$QXD_TMP/again.png" "$vl" "$vt" "$vr" "$vb")" = 0 ] && return 0
        cp "$QXD_TMP/again.png" "$1"
    done
}
press() { # button id
    qxd "control $DIALOG $1" || qxd_fail "no button $1"
    read -r _ l t r b <<<"${QXD_ANSWER[0]}"
    qxd_click $(((l + r) / 2)) $(((t + b) / 2))
    qxd "gone $DIALOG 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "Plot Details did not close"
    qxd settle
}

open_details details-opened
for part in "Original" "XY Projection" "XZ Projection" "YZ Projection"; do
    qxd "treeitem $DIALOG 1105 $part" || qxd_fail "the tree has no item $part"
done
qxd "control $DIALOG 1296" || qxd_fail "the plot's page is not Edit Control"
press 2
qxd_stable_view || qxd_fail "view"
steady_picture "$ARTIFACTS/cancelled.png"

open_details details-again
# The check box stands left of the item's picture, which stands left of its text.
qxd "treeitem $DIALOG 1105 XY Projection" || qxd_fail "no XY Projection item"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $((l - 24)) $(((t + b) / 2))
qxd settle
qxd_screenshot "$ARTIFACTS/details-xy-checked.png"
press 1
qxd_stable_view || qxd_fail "view"
steady_picture "$ARTIFACTS/projected.png"

qxd "dump $(qxd_winpath "$QXD_TMP/after.txt")" || qxd_fail "dump"
grep -q 'scatterShown = "1 1 0 0"' "$QXD_TMP/after.txt" || qxd_fail "the XY projection is not kept shown: $(grep scatterShown "$QXD_TMP/after.txt")"
changed=$(differing "$ARTIFACTS/cancelled.png" "$ARTIFACTS/projected.png" "$vl" "$vt" "$vr" "$vb")
qxd_log "pixels changed by the projection: $changed"
[ "${changed:-0}" -gt 200 ] || qxd_fail "the window does not draw the projection"

# Drop lines: the points (Original) chosen in the tree, their Drop Lines page found among
# the tabs, "Parallel to Z" checked; after OK the window draws a line from each point to
# the floor and the plot keeps them.
open_details details-for-drop-lines
qxd "treeitem $DIALOG 1105 Original" || qxd_fail "no Original item"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $(((l + r) / 2)) $(((t + b) / 2))
qxd settle
found=
for index in 0 1 2 3 4 5 6 7; do
    qxd "tab $DIALOG $index" || break
    read -r _ l t r b <<<"${QXD_ANSWER[0]}"
    qxd_click $(((l + r) / 2)) $(((t + b) / 2))
    qxd settle
    qxd "control $DIALOG 1450" && { found=1; break; }
done
[ -n "$found" ] || qxd_fail "the points have no Drop Lines page with a line parallel to Z"
qxd_screenshot "$ARTIFACTS/details-drop-lines.png"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $((l + 8)) $(((t + b) / 2))
qxd settle
qxd_screenshot "$ARTIFACTS/details-drop-lines-z.png"
press 1
qxd_stable_view || qxd_fail "view"
steady_picture "$ARTIFACTS/drop-lines.png"
qxd "dump $(qxd_winpath "$QXD_TMP/dropped.txt")" || qxd_fail "dump"
grep -q 'dropLines = "type 4 ' "$QXD_TMP/dropped.txt" || qxd_fail "the plot does not keep the drop lines: $(grep dropLines "$QXD_TMP/dropped.txt")"
changed=$(differing "$ARTIFACTS/projected.png" "$ARTIFACTS/drop-lines.png" "$vl" "$vt" "$vr" "$vb")
qxd_log "pixels changed by the drop lines: $changed"
[ "${changed:-0}" -gt 200 ] || qxd_fail "the window does not draw the drop lines"

qxd_close_windows || qxd_fail "close"
qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS: details-opened.png cancelled.png details-again.png details-xy-checked.png projected.png" \
    "details-for-drop-lines.png details-drop-lines.png details-drop-lines-z.png drop-lines.png"
