#!/usr/bin/env bash
# Editing a graph's data and objects, and a layout, as a person does it: Data > Remove Bad
# Data Points... and a click on a point make its cell missing (Undo brings it back); Data >
# Move Data Points... and a drag carry a point to a new place, its cells following; two
# rectangles grouped move as one; a contour's colour scale shows its bands; a layout takes a
# graph and a worksheet from Add Graph... and Add Worksheet.... Pictures go to ARTIFACTS.
#   graph_data_layout.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

drag() { # x1 y1 x2 y2
    xdotool mousemove --sync "$1" "$2" mousedown 1
    qxd_glide "$1" "$2" "$3" "$4" 8
    xdotool mouseup 1
    qxd settle
}
# The screen point of a data point given in hundredths, from the layer's axes (the frame is
# 15 % from the view's left, 10 % from its top, 70 % each way in window view).
point() { # x y
    echo $((fl + fw * ($1 - xf) / (xt - xf))) $((ft + fh - fh * ($2 - yf) / (yt - yf)))
}
at() { echo $((fl + fw * $1 / 100)) $((ft + fh * $2 / 100)); } # a place in the frame, in percent

qxd "script win -t wks; for (i = 1; i <= 5; i += 1) { col(A)[i] = i; col(B)[i] = i }" || qxd_fail "worksheet"
qxd_hide_explorer || qxd_fail "hide the project explorer"
qxd_plot 33248 maximize || qxd_fail "the scatter plot made no graph window"
qxd "invoke 34119" || qxd_fail "window view"
qxd_stable_view || qxd_fail "view"
fl=$((vl + (vr - vl) * 15 / 100)) ft=$((vt + (vb - vt) * 10 / 100))
fw=$(((vr - vl) * 70 / 100)) fh=$(((vb - vt) * 70 / 100))
qxd axes || qxd_fail "axes"
read -r _ _ xfrom xto <<<"${QXD_ANSWER[0]}" && read -r _ _ yfrom yto <<<"${QXD_ANSWER[1]}"
# Hundredths, so that the shell's whole numbers place the points to a pixel.
hundredths() { awk -v v="$1" 'BEGIN { printf "%.0f", v * 100 }'; }
xf=$(hundredths "$xfrom") xt=$(hundredths "$xto") yf=$(hundredths "$yfrom") yt=$(hundredths "$yto")
qxd_log "frame $fl $ft $fw $fh, X $xfrom..$xto, Y $yfrom..$yto"

# Remove Bad Data Points: a click on (4, 4) makes B4 missing; its symbol goes.
read -r px py <<<"$(point 400 400)"
qxd_screenshot "$QXD_TMP/before.png"
[ "$(qxd_count_of "$QXD_TMP/before.png" "#000000" $((px - 3)) $((py - 3)) $((px + 4)) $((py + 4)))" -gt 10 ] ||
    qxd_fail "no symbol at ($px, $py) before the removal"
qxd "invoke 32968" || qxd_fail "Remove Bad Data Points"
qxd_click "$px" "$py"
qxd_wait_for 'Data1_B[4] == --' 5 || qxd_fail "the click on ($px, $py) left B4"
qxd_expect 'Data1_A[4] == 4 && Data1_B[3] == 3 && Data1_B[5] == 5'
qxd settle
qxd_screenshot "$ARTIFACTS/data-removed.png"
[ "$(qxd_count_of "$ARTIFACTS/data-removed.png" "#000000" $((px - 3)) $((py - 3)) $((px + 4)) $((py + 4)))" = 0 ] ||
    qxd_fail "the removed point is still drawn"
qxd_key Escape
qxd "invoke 57643" || qxd_fail "Undo"
qxd_wait_for 'Data1_B[4] == 4' 5 || qxd_fail "Undo did not bring B4 back"

# Move Data Points: (2, 2) dragged to where (4.5, 1.5) would be; A2 and B2 follow.
qxd "invoke 32967" || qxd_fail "Move Data Points"
read -r sx sy <<<"$(point 200 200)" && read -r tx ty <<<"$(point 450 150)"
drag "$sx" "$sy" "$tx" "$ty"
qxd_wait_for 'Data1_A[2] > 4.4 && Data1_A[2] < 4.6 && Data1_B[2] > 1.4 && Data1_B[2] < 1.6' 5 ||
    qxd_fail "the drag from ($sx, $sy) to ($tx, $ty) did not move point 2"
qxd_key Escape
qxd settle
qxd_screenshot "$ARTIFACTS/data-moved.png"
[ "$(qxd_count_of "$ARTIFACTS/data-moved.png" "#000000" $((tx - 3)) $((ty - 3)) $((tx + 4)) $((ty + 4)))" -gt 10 ] ||
    qxd_fail "no symbol where the point was dropped"

# Two rectangles drawn in the empty upper left, grouped: a drag of the first moves both.
read -r ax1 ay1 <<<"$(at 5 8)" && read -r ax2 ay2 <<<"$(at 20 20)"
read -r bx1 by1 <<<"$(at 25 8)" && read -r bx2 by2 <<<"$(at 40 20)"
for box in "$ax1 $ay1 $ax2 $ay2" "$bx1 $by1 $bx2 $by2"; do
    qxd "invoke 34984" || qxd_fail "the rectangle tool"
    drag $box
done
qxd_click $(((ax1 + ax2) / 2)) $(((ay1 + ay2) / 2))
xdotool mousemove --sync $(((bx1 + bx2) / 2)) $(((by1 + by2) / 2)) keydown shift click 1 keyup shift
qxd settle
qxd "invoke 35500" || qxd_fail "Group"
read -r ex ey <<<"$(at 90 5)"
qxd_click "$ex" "$ey"
qxd settle
drag $(((ax1 + ax2) / 2)) "$ay1" $(((ax1 + ax2) / 2)) $((ay1 + 40))
qxd_screenshot "$ARTIFACTS/objects-grouped.png"
# The second rectangle's top edge moved down 40 pixels with the first.
old=$(qxd_count_of "$ARTIFACTS/objects-grouped.png" "#000000" $((bx1 + 5)) $((by1 - 1)) $((bx2 - 5)) $((by1 + 2)))
new=$(qxd_count_of "$ARTIFACTS/objects-grouped.png" "#000000" $((bx1 + 5)) $((by1 + 38)) $((bx2 - 5)) $((by1 + 43)))
qxd_log "second rectangle's top edge: $old pixels where it was, $new 40 below"
[ "$old" -lt 5 ] && [ "$new" -gt 20 ] || qxd_fail "the grouped rectangle did not move with the first"

# A contour and its colour scale: the top band's red right of the frame.
qxd "script win -t matrix; matrix -ps dim 5 5" || qxd_fail "matrix"
qxd "cells 0 2 4 6 8 8 10 12 14 16 16 18 20 22 24 24 26 28 30 32 32 34 36 38 40" || qxd_fail "cells"
qxd_plot 35581 maximize || qxd_fail "the contour made no graph window"
qxd "invoke 34119" || qxd_fail "window view"
qxd "invoke 36326" || qxd_fail "New Color Scale"
qxd "dump $(qxd_winpath "$QXD_TMP/scale.txt")" || qxd_fail "dump"
grep -q "colorScale" "$QXD_TMP/scale.txt" || qxd_fail "New Color Scale made no colour scale"
qxd_stable_view || qxd_fail "view"
sleep 1
qxd_screenshot "$ARTIFACTS/color-scale.png"
right=$((vl + (vr - vl) * 86 / 100))
red=$(qxd_count_of "$ARTIFACTS/color-scale.png" "#FF0000" "$right" "$vt" "$vr" "$vb")
qxd_log "red pixels of the colour scale: $red"
[ "$red" -gt 50 ] || qxd_fail "no colour scale right of the frame"

# A layout: Add Graph... and Add Worksheet... each take the first window of their list.
qxd "script win -t layout" || qxd_fail "layout"
qxd children || qxd_fail "children"
for line in "${QXD_ANSWER[@]}"; do
    read -r _ hwnd _ active _ <<<"$line"
    [ "$active" = 1 ] && layout=$hwnd
done
qxd "maximize $layout" || qxd_fail "maximize the layout"
for command in 33045:Graph 33046:Worksheet; do
    qxd "post ${command%%:*}" || qxd_fail "Add ${command#*:}"
    qxd_wait_window "Add ${command#*:}" || qxd_fail "Add ${command#*:} opened no list"
    qxd_screenshot "$ARTIFACTS/layout-add-${command#*:}.png"
    qxd_key Return
    qxd "gone $QXD_WINDOW 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "Return did not close the list"
done
qxd_stable_view || qxd_fail "view"
sleep 1
qxd_screenshot "$ARTIFACTS/layout.png"
mx=$(((vl + vr) / 2)) my=$(((vt + vb) / 2))
graphInk=$(qxd_count_of "$ARTIFACTS/layout.png" "#000000" "$vl" "$vt" "$mx" "$my")
wksInk=$(qxd_count_of "$ARTIFACTS/layout.png" "#000000" "$mx" "$vt" "$vr" "$my")
qxd_log "layout: $graphInk black pixels top left, $wksInk top right"
[ "$graphInk" -gt 100 ] && [ "$wksInk" -gt 100 ] || qxd_fail "the layout does not show its graph and worksheet"

qxd_close_windows || qxd_fail "close"
qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS: data-removed.png data-moved.png objects-grouped.png color-scale.png layout.png"
