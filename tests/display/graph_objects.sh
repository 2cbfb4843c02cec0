#!/usr/bin/env bash
# Objects on a graph as a person makes them: an arrow drawn with the arrow tool by mouse,
# two labels made with the text tool and aligned on the left, the points of a range masked
# (drawn red), a label copied and pasted and the paste undone. Each step is checked on the
# screen's pixels; pictures go to the artifacts folder.
#   graph_objects.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

# y = x: the points lie on the layer's diagonal; its upper left half stays empty.
qxd "script win -t wks; for (i = 1; i <= 10; i += 1) { col(A)[i] = i; col(B)[i] = i }" || qxd_fail "worksheet"
qxd_hide_explorer || qxd_fail "hide the project explorer"
qxd_plot 33248 || qxd_fail "the scatter plot made no graph window"
graph=$QXD_GRAPH
qxd "activate $graph" && qxd settle || qxd_fail "activate the graph"
qxd_stable_view || qxd_fail "view"
qxd_log "graph view before maximizing: $vl $vt $vr $vb"
# Maximized, and in window view: the page fills the view, so the layer's frame is known.
xdotool mousemove --sync $((vl + 80)) $((vt - 10)) click --repeat 2 --delay 80 1
qxd settle
qxd "invoke 34119" || qxd_fail "window view"
qxd_stable_view || qxd_fail "view"
qxd_log "graph view: $vl $vt $vr $vb"
fl=$((vl + (vr - vl) * 15 / 100)) ft=$((vt + (vb - vt) * 10 / 100))
fw=$(((vr - vl) * 70 / 100)) fh=$(((vb - vt) * 70 / 100))
at() { echo $((fl + fw * $1 / 100)) $((ft + fh * $2 / 100)); } # a place in the frame, in percent

# The leftmost column of a colour inside a rectangle, or nothing.
leftmost() { # picture colour left top right bottom
    qxd_pixels_of "$@" | awk '!n++ || $1 < m { m = $1 } END { if (n) print m }'
}
drag() { # x1 y1 x2 y2
    xdotool mousemove --sync "$1" "$2" mousedown 1
    qxd_glide "$1" "$2" "$3" "$4" 8
    xdotool mouseup 1
    qxd settle
}

# The arrow tool, then a drag: a black line where there was none.
read -r ax1 ay1 <<<"$(at 5 60)" && read -r ax2 ay2 <<<"$(at 20 45)"
mx=$(((ax1 + ax2) / 2)) my=$(((ay1 + ay2) / 2))
qxd_screenshot "$QXD_TMP/empty.png"
[ "$(qxd_count_of "$QXD_TMP/empty.png" "#000000" $((mx - 3)) $((my - 3)) $((mx + 4)) $((my + 4)))" = 0 ] ||
    qxd_fail "the place of the arrow is not empty"
qxd "invoke 34982" || qxd_fail "the arrow tool"
drag "$ax1" "$ay1" "$ax2" "$ay2"
qxd_screenshot "$ARTIFACTS/objects-arrow.png"
[ "$(qxd_count_of "$ARTIFACTS/objects-arrow.png" "#000000" $((mx - 3)) $((my - 3)) $((mx + 4)) $((my + 4)))" -gt 0 ] ||
    qxd_fail "no arrow drawn between $ax1,$ay1 and $ax2,$ay2"

# Two labels with the text tool; each opens the text dialog, which OK leaves ("Text").
label() { # x y
    local dialog l t r b round
    qxd "invoke 34978" || qxd_fail "the text tool"
    qxd_click "$1" "$2"
    # The click reaches the program through the X server: the program may answer the probe
    # before it has seen the click, so the dialog is waited for a few seconds.
    for round in $(seq 50); do
        qxd settle && qxd windows || qxd_fail "windows"
        [ ${#QXD_ANSWER[@]} -gt 0 ] && break
        sleep 0.1
    done
    [ ${#QXD_ANSWER[@]} -gt 0 ] || qxd_fail "the text tool opened no dialog"
    read -r _ dialog _ <<<"${QXD_ANSWER[0]}"
    qxd "control $dialog 1" || qxd_fail "no OK button in the text dialog"
    read -r _ l t r b <<<"${QXD_ANSWER[0]}"
    qxd_click $(((l + r) / 2)) $(((t + b) / 2))
    qxd "gone $dialog 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "the text dialog did not close on OK"
    # The graph repaints what the dialog covered.
    qxd settle
    sleep 1
}
read -r l1x l1y <<<"$(at 5 5)" && read -r l2x l2y <<<"$(at 25 25)"
label "$l1x" "$l1y"
label "$l2x" "$l2y"
band1="$((fl + 5)) $((l1y - 4)) $((fl + fw / 2)) $((l1y + 40))"
band2="$((fl + 5)) $((l2y - 4)) $((fl + fw / 2)) $((l2y + 40))"
qxd_screenshot "$ARTIFACTS/objects-labels.png"
x1=$(leftmost "$ARTIFACTS/objects-labels.png" "#000000" $band1)
x2=$(leftmost "$ARTIFACTS/objects-labels.png" "#000000" $band2)
[ -n "$x1" ] && [ -n "$x2" ] && [ $((x2 - x1)) -gt 50 ] || qxd_fail "the labels are not where they were put: ${x1:-none} ${x2:-none}"

# The first label clicked, the second added with Shift; Left aligns the second to the first.
qxd "invoke 34976" || qxd_fail "the pointer"
qxd_click $((l1x + 8)) $((l1y + 8))
xdotool mousemove --sync $((l2x + 8)) $((l2y + 8)) keydown shift click 1 keyup shift
qxd settle
qxd "invoke 35488" || qxd_fail "Left"
qxd_screenshot "$ARTIFACTS/objects-aligned.png"
x1=$(leftmost "$ARTIFACTS/objects-aligned.png" "#000000" $band1)
x2=$(leftmost "$ARTIFACTS/objects-aligned.png" "#000000" $band2)
qxd_log "left edges after Left: $x1 $x2"
[ -n "$x1" ] && [ -n "$x2" ] && [ $((x2 - x1)) -le 2 ] && [ $((x1 - x2)) -le 2 ] ||
    qxd_fail "Left did not align the labels: ${x1:-none} ${x2:-none}"

# The data selector across the right half of the points, then Mask range: red points.
[ "$(qxd_count_of "$ARTIFACTS/objects-aligned.png" "#FF0000" "$fl" "$ft" $((fl + fw)) $((ft + fh)))" = 0 ] ||
    qxd_fail "red before masking"
qxd "invoke 34981" || qxd_fail "the data selector"
read -r sx1 sy <<<"$(at 55 95)" && read -r sx2 _ <<<"$(at 90 95)"
drag "$sx1" "$sy" "$sx2" "$sy"
qxd "invoke 35536" || qxd_fail "Mask range"
# The window repaints after the command has answered: the picture is taken again until
# the red shows, for a few seconds at most.
for round in $(seq 10); do
    qxd settle
    qxd_screenshot "$ARTIFACTS/objects-masked.png"
    red=$(qxd_count_of "$ARTIFACTS/objects-masked.png" "#FF0000" "$fl" "$ft" $((fl + fw)) $((ft + fh)))
    [ "$red" -gt 20 ] && break
    sleep 0.5
done
qxd_log "red pixels after masking: $red"
[ "$red" -gt 20 ] || qxd_fail "the masked points are not drawn in the mask colour"

# Nothing selected: the picture to come back to. Then the first label copied and pasted
# (a copy a little below and to the right), and the paste undone.
qxd "invoke 34976" || qxd_fail "the pointer"
read -r ex ey <<<"$(at 60 5)"
qxd_click "$ex" "$ey"
qxd settle
qxd_screenshot "$QXD_TMP/before-paste.png"
qxd_click $((l1x + 8)) $((l1y + 8))
qxd "invoke 57634" || qxd_fail "Copy"
qxd "invoke 57637" || qxd_fail "Paste"
qxd_screenshot "$ARTIFACTS/objects-pasted.png"
crop="$((vr - vl))x$((vb - vt))+$vl+$vt"
changed() { # the number of pixels of the view that differ between two pictures
    convert "$1" -crop "$crop" +repage "$QXD_TMP/a.png" && convert "$2" -crop "$crop" +repage "$QXD_TMP/b.png" &&
        compare -metric AE "$QXD_TMP/a.png" "$QXD_TMP/b.png" null: 2>&1
}
pasted=$(changed "$QXD_TMP/before-paste.png" "$ARTIFACTS/objects-pasted.png")
qxd_log "pixels changed by the paste: $pasted"
[ "${pasted%%.*}" -gt 50 ] 2>/dev/null || qxd_fail "the paste changed nothing: $pasted"
qxd "invoke 57643" || qxd_fail "Undo"
qxd_screenshot "$ARTIFACTS/objects-undone.png"
left=$(changed "$QXD_TMP/before-paste.png" "$ARTIFACTS/objects-undone.png")
qxd_log "pixels that differ after Undo: $left"
[ "$left" = 0 ] || qxd_fail "Undo did not bring the graph back: $left pixels differ"

qxd_close_windows || qxd_fail "close"
qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS: objects-arrow.png objects-labels.png objects-aligned.png objects-masked.png objects-pasted.png objects-undone.png"
