#!/usr/bin/env bash
# A group of lines in Plot Details from the program: two columns plotted as lines make a
# group whose second line is red (colours step from member to member). A double click on
# the red line opens Plot Details on the group; its Group page's "Color" increment is
# switched off; after OK both lines take the first line's black and no red is left.
#   plot_group.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

qxd "script win -t wks; wks.ncols = 3; for (i = 1; i <= 10; i += 1) { col(A)[i] = i; col(B)[i] = i; col(C)[i] = 11 - i }" ||
    qxd_fail "worksheet"
qxd_plot 33249 maximize || qxd_fail "the line plot made no graph window"
graph=$QXD_GRAPH
qxd view || qxd_fail "view"
read -r _ _ VL VT VR VB <<<"${QXD_ANSWER[0]}"

# A point of the red line a quarter along it (the middle of its part left of its middle,
# away from the frame's corner and the crossing), found in two pictures in a row (the
# maximized window may still be drawing).
red_point() {
    qxd settle
    qxd_screenshot "$QXD_TMP/lines.png"
    qxd_pixels_of "$QXD_TMP/lines.png" "#FF0000" "$VL" "$VT" "$VR" "$VB" |
        awk '{ x[NR] = $1; y[NR] = $2; sx += $1 } END {
            if (!NR) exit
            mid = sx / NR
            for (i = 1; i <= NR; i++) if (x[i] < mid - 20) { n++; ax += x[i]; ay += y[i] }
            if (!n) exit
            ax /= n; ay /= n
            for (i = 1; i <= NR; i++) { d = (x[i] - ax) ^ 2 + (y[i] - ay) ^ 2; if (!k++ || d < best) { best = d; p = x[i] " " y[i] } }
            print p }'
}
found=$(red_point)
for round in 1 2 3 4 5; do
    again=$(red_point)
    [ "$again" = "$found" ] && break
    found=$again
done
read -r px py <<<"$found"
[ -n "${px:-}" ] || qxd_fail "the group's second line is not red"
qxd_log "a point of the red line: $px $py"
cp "$QXD_TMP/lines.png" "$ARTIFACTS/group-before.png"

qxd_double_click_opens "Plot Details" "$px" "$py" || qxd_fail "a double click on the red line opened no Plot Details"
DIALOG=$QXD_WINDOW

# The Group tab: the one whose page shows the edit-mode radio buttons.
group=
for tab in 0 1 2 3 4 5 6 7 8; do
    qxd "tab $DIALOG $tab" || break
    read -r _ l t r b <<<"${QXD_ANSWER[0]}"
    qxd_click $(((l + r) / 2)) $(((t + b) / 2))
    qxd settle
    if qxd "control $DIALOG 1153" 2>/dev/null; then
        group=$tab
        break
    fi
done
[ -n "$group" ] || qxd_fail "Plot Details on a group has no Group page"
qxd_screenshot "$ARTIFACTS/page-group.png"

# "Color", the first increment: off.
qxd "control $DIALOG 1155" || qxd_fail "no Color increment"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $((l + 6)) $(((t + b) / 2))
qxd settle
qxd_screenshot "$ARTIFACTS/page-group-color-off.png"
qxd "control $DIALOG 1" || qxd_fail "no OK"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $(((l + r) / 2)) $(((t + b) / 2))
qxd "gone $DIALOG 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "Plot Details did not close on OK"
qxd settle
qxd "dump $(qxd_winpath "$QXD_TMP/after.txt")" || qxd_fail "dump"
enumerated=$(grep -c 'groupEnum = 0' "$QXD_TMP/after.txt")
qxd_log "plots without the colour increment: $enumerated"
[ "$enumerated" = 2 ] || qxd_fail "the group's colour increment was not switched off for both plots"
qxd_screenshot "$ARTIFACTS/group-after.png"
before=$(qxd_count_of "$ARTIFACTS/group-before.png" "#FF0000" "$VL" "$VT" "$VR" "$VB")
after=$(qxd_count_of "$ARTIFACTS/group-after.png" "#FF0000" "$VL" "$VT" "$VR" "$VB")
qxd_log "red pixels in the view: $before before, $after after"
[ "$before" -gt 100 ] && [ "$after" -lt 5 ] || qxd_fail "the second line did not take the group's one colour"

qxd_close_windows || qxd_fail "close"
qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS: group-before.png page-group.png page-group-color-off.png group-after.png"
