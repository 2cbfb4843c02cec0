#!/usr/bin/env bash
# Plot Details on a 3D graph and a box chart as a person uses it: a matrix is plotted as a
# colour-fill surface, a double click on the surface opens Plot Details, the tree's layer
# item is chosen with the keyboard, the layer's Planes page colours the floor red, OK, and
# the window draws the red floor; a worksheet column plotted as a box chart, a double click
# on the box, its Box page turns the box into a diamond with labels, and the window
# changes. Pictures of the pages go to the artifacts folder.
#   plot_details_3d.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

# A peak in a 12 x 12 matrix, plotted as a colour-fill surface.
qxd "script win -t matrix; matrix -ps dim 12 12" || qxd_fail "matrix"
values=$(awk 'BEGIN { for (r = 0; r < 12; r++) for (c = 0; c < 12; c++) printf " %.4f", 10 * exp(-((r - 5.5) ^ 2 + (c - 5.5) ^ 2) / 10) }')
qxd "cells$values" || qxd_fail "matrix cells"
qxd_plot 35574 maximize || qxd_fail "the surface plot made no graph window: ${QXD_ANSWER[*]}"
qxd_stable_view || qxd_fail "view"
qxd_screenshot "$ARTIFACTS/3d-before.png"
red=$(qxd_count_of "$ARTIFACTS/3d-before.png" "#FF0000" "$vl" "$vt" "$vr" "$vb")
qxd_log "red pixels before: $red"

# The surface's peak stands over the middle of the view.
xdotool mousemove --sync $(((vl + vr) / 2)) $(((vt + vb) / 2)) click --repeat 2 --delay 80 1
qxd settle || qxd_fail "settle after the double click"
qxd windows || qxd_fail "windows"
dialog=
for line in "${QXD_ANSWER[@]}"; do
    [[ $line == *"Plot Details"* ]] && read -r _ dialog _ <<<"$line"
done
[ -n "$dialog" ] || qxd_fail "a double click on the surface opened no Plot Details: ${QXD_ANSWER[*]}"
qxd_screenshot "$ARTIFACTS/3d-plot-details.png"

# The plot's item is selected; its layer is the item above it. A click on the tree's empty
# lower part gives it the keys without choosing another item.
qxd "control $dialog 1105" || qxd_fail "no tree"
read -r _ tl tt tr tb <<<"${QXD_ANSWER[0]}"
qxd_click $(((tl + tr) / 2)) $((tb - 6))
qxd_key Up
qxd settle
qxd_screenshot "$ARTIFACTS/3d-layer-pages.png"

# The sheet's tabs stand in two rows: Background, Size/Speed, Display next to the page and
# Miscellaneous, Axis, Planes above them. A click on the upper row's first tab shows
# Miscellaneous and gives the tab strip the keys; each Right shows the next page. A page
# is shown when a control of its own is.
qxd "control $dialog 12320" || qxd_fail "no tab strip: the layer has no pages"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $((l + 12)) $((t + 8))
for page in "miscellaneous 2044" "axis 2016" "planes 2003"; do
    read -r name id <<<"$page"
    [ "$name" = miscellaneous ] || qxd_key Right
    qxd settle
    qxd "control $dialog $id" || qxd_fail "the $name page is not shown"
    sleep 0.5
    qxd_screenshot "$ARTIFACTS/3d-page-$name.png"
done

# Planes: the XY plane (the floor) red, the first colour after Black.
read -r x y < <(qxd_centre_of "$dialog" 2003) || qxd_fail "no XY plane colour on the shown page"
qxd_click "$x" "$y"
qxd_key Home Down Return
qxd_screenshot "$ARTIFACTS/3d-page-planes-red.png"
read -r x y < <(qxd_centre_of "$dialog" 1) || qxd_fail "no OK button"
qxd_click "$x" "$y"
qxd "gone $dialog 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "Plot Details did not close on OK"
qxd settle
qxd_screenshot "$ARTIFACTS/3d-after.png"
after=$(qxd_count_of "$ARTIFACTS/3d-after.png" "#FF0000" "$vl" "$vt" "$vr" "$vb")
qxd_log "red pixels after: $after"
[ "$after" -gt $((red + 500)) ] || qxd_fail "the graph does not draw the floor in the colour chosen on the Planes page"

# A box chart of the Y column: values 1 to 20.
qxd "script win -t wks; for (i = 1; i <= 20; i += 1) { col(A)[i] = i; col(B)[i] = i }" || qxd_fail "worksheet"
qxd_plot 33261 maximize || qxd_fail "the box chart made no graph window: ${QXD_ANSWER[*]}"
qxd_stable_view || qxd_fail "view"
qxd_screenshot "$ARTIFACTS/box-before.png"
# The box stands at X = 1, left in the layer: a point inside it.
read -r px py < <(qxd_box_point "$ARTIFACTS/box-before.png")
[ -n "${px:-}" ] || qxd_fail "no box drawn in the box chart's window"
xdotool mousemove --sync "$px" "$py" click --repeat 2 --delay 80 1
qxd settle || qxd_fail "settle after the double click on the box"
qxd windows || qxd_fail "windows"
dialog=
for line in "${QXD_ANSWER[@]}"; do
    [[ $line == *"Plot Details"* ]] && read -r _ dialog _ <<<"$line"
done
[ -n "$dialog" ] || qxd_fail "a double click on the box opened no Plot Details: ${QXD_ANSWER[*]}"
# Tabs: Pattern, Box, Percentile; a click on the strip gives it the keys, the arrows walk
# it until the Box page shows (the probe finds only controls that show).
qxd "control $dialog 12320" || qxd_fail "no tab strip on the box chart's Plot Details"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $((l + 12)) $((t + 8))
for key in Right Left Left; do
    qxd settle
    qxd "control $dialog 1323" 2>/dev/null && break
    qxd_key "$key"
done
qxd "control $dialog 1323" || qxd_fail "the Box page is not shown"
read -r x y < <(qxd_centre_of "$dialog" 1317) || qxd_fail "no box range"
qxd_click "$x" "$y"
qxd_key Home Down Return   # Mean +/- Coef*SD: a diamond may be drawn
for id in 1323 1324; do    # Diamond Box, Box Labels
    read -r x y < <(qxd_centre_of "$dialog" $id) || qxd_fail "no check $id"
    qxd_click "$x" "$y"
done
sleep 0.5
qxd_screenshot "$ARTIFACTS/box-page.png"
read -r x y < <(qxd_centre_of "$dialog" 1) || qxd_fail "no OK button"
qxd_click "$x" "$y"
qxd "gone $dialog 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "Plot Details did not close on OK"
qxd settle
qxd_screenshot "$ARTIFACTS/box-after.png"
changed=$(compare -metric AE -crop "$((vr - vl))x$((vb - vt))+$vl+$vt" "$ARTIFACTS/box-before.png" "$ARTIFACTS/box-after.png" null: 2>&1 | cut -d' ' -f1)
qxd_log "pixels changed by the Box page: $changed"
[ "${changed%.*}" -gt 200 ] 2>/dev/null || qxd_fail "the box chart is drawn as before the Box page's changes"

qxd_close_windows || qxd_fail "close"
qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS"
