#!/usr/bin/env bash
# Plot Details on a 3D graph as a person uses it: a matrix is plotted as a colour-fill
# surface, a double click on the surface opens Plot Details, the tree's layer item is
# chosen with the keyboard, the layer's Planes page colours the floor red, OK, and the
# window draws the red floor. Pictures of the 3D layer pages go to the artifacts folder.
#   plot_details_3d.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
ARTIFACTS=${2:?artifacts folder}
mkdir -p "$ARTIFACTS"
qxd_begin "$1"
qxd_start quorix61.exe -P "$(qxd_winpath "$QXD_INI")"
qxd settle && qxd_close_windows || qxd_fail "start"

count_of() { # picture colour left top right bottom
    convert "$1" -crop "$(($5 - $3))x$(($6 - $4))+$3+$4" +repage txt:- 2>/dev/null | grep -c "$2"
}
centre_of() { # dialog id: "x y" of the control's middle
    qxd "control $1 $2" || return 1
    local l t r b
    read -r _ l t r b <<<"${QXD_ANSWER[0]}"
    echo "$(((l + r) / 2)) $(((t + b) / 2))"
}

# A peak in a 12 x 12 matrix, plotted as a colour-fill surface.
qxd "script win -t matrix; matrix -ps dim 12 12" || qxd_fail "matrix"
values=$(awk 'BEGIN { for (r = 0; r < 12; r++) for (c = 0; c < 12; c++) printf " %.4f", 10 * exp(-((r - 5.5) ^ 2 + (c - 5.5) ^ 2) / 10) }')
qxd "cells$values" || qxd_fail "matrix cells"
qxd "invoke 35574" || qxd_fail "plot the surface"
qxd settle
# Maximized through the probe: a double click on the caption may meet the caption's menu.
qxd children || qxd_fail "children"
graph=
for line in "${QXD_ANSWER[@]}"; do
    read -r _ hwnd _ active title <<<"$line"
    [ "$active" = 1 ] && [ "$title" = Graph1 ] && graph=$hwnd
done
[ -n "$graph" ] || qxd_fail "the surface plot made no graph window: ${QXD_ANSWER[*]}"
qxd "maximize $graph" && qxd settle || qxd_fail "maximize the graph"
qxd view || qxd_fail "view"
read -r _ _ vl vt vr vb <<<"${QXD_ANSWER[0]}"
qxd_screenshot "$ARTIFACTS/3d-before.png"
red=$(count_of "$ARTIFACTS/3d-before.png" "#FF0000" "$vl" "$vt" "$vr" "$vb")
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
read -r x y < <(centre_of "$dialog" 2003) || qxd_fail "no XY plane colour on the shown page"
qxd_click "$x" "$y"
qxd_key Home Down Return
qxd_screenshot "$ARTIFACTS/3d-page-planes-red.png"
read -r x y < <(centre_of "$dialog" 1) || qxd_fail "no OK button"
qxd_click "$x" "$y"
qxd "gone $dialog 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "Plot Details did not close on OK"
qxd settle
qxd_screenshot "$ARTIFACTS/3d-after.png"
after=$(count_of "$ARTIFACTS/3d-after.png" "#FF0000" "$vl" "$vt" "$vr" "$vb")
qxd_log "red pixels after: $after"
[ "$after" -gt $((red + 2000)) ] || qxd_fail "the graph does not draw the floor in the colour chosen on the Planes page"

qxd_close_windows || qxd_fail "close"
qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS"
