#!/usr/bin/env bash
# 3D and contour plots as a person makes them: a matrix made by script holds a peak; the
# Plot3D menu's commands plot it as each 3D kind and as a contour; the colour map's bands
# and the plots' lines are found in the windows' pixels; the rotation toolbar turns the box;
# a worksheet scatter of data far from 0 .. 10 gets axes that hold its data.
#   plots_3d.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

colours_in() { # picture left top right bottom: the number of distinct colours
    convert "$1" -crop "$(($4 - $2))x$(($5 - $3))+$2+$3" +repage -unique-colors txt:- 2>/dev/null | grep -c '^[0-9]'
}

# Takes the picture of the active page window; sets vl vt vr vb. The first window is
# maximized by a double click on its caption; the windows after it open maximized.
maximized=
picture() { # file
    qxd_stable_view || qxd_fail "view"
    if [ -z "$maximized" ]; then
        xdotool mousemove --sync $((vl + 80)) $((vt - 10)) click --repeat 2 --delay 80 1
        qxd settle
        qxd_stable_view || qxd_fail "view"
        maximized=1
    fi
    qxd_screenshot "$1"
}

# A 12 x 12 matrix: a peak of height 10 in the middle over a floor at 0.
qxd "script win -t matrix; matrix -ps dim 12 12" || qxd_fail "matrix"
values=$(awk 'BEGIN { for (r = 0; r < 12; r++) for (c = 0; c < 12; c++) printf " %.4f", 10 * exp(-((r - 5.5) ^ 2 + (c - 5.5) ^ 2) / 10) }')
qxd "cells$values" || qxd_fail "matrix cells"
qxd children || qxd_fail "children"
read -r _ matrix _ <<<"${QXD_ANSWER[0]}"

# The frame's bars may rearrange as graphs open, so each picture is read inside its own view.
declare -A made rect
for kind in "35577 colormap" "35574 colorfill" "35579 wireframe" "35580 wiresurface" "35578 bars" "35581 contour"; do
    read -r id name <<<"$kind"
    qxd "activate $matrix" || qxd_fail "activate the matrix"
    qxd "invoke $id" || qxd_fail "plot $name"
    qxd settle
    qxd children || qxd_fail "children"
    for line in "${QXD_ANSWER[@]}"; do
        read -r _ hwnd _ active _ <<<"$line"
        [ "$active" = 1 ] && [ "$hwnd" != "$matrix" ] && made[$name]=$hwnd
    done
    [ -n "${made[$name]:-}" ] || qxd_fail "the $name plot made no graph window: ${QXD_ANSWER[*]}"
    picture "$ARTIFACTS/3d-$name.png"
    rect[$name]="$vl $vt $vr $vb"
    n=$(colours_in "$ARTIFACTS/3d-$name.png" "$vl" "$vt" "$vr" "$vb")
    qxd_log "$name: $n colours"
    [ "$n" -gt 2 ] || qxd_fail "the $name window is uniform"
done

# The colour map's lowest and highest bands (blue floor, red peak) are drawn.
blue=$(qxd_count_of "$ARTIFACTS/3d-colormap.png" "#0000FF" ${rect[colormap]})
red=$(qxd_count_of "$ARTIFACTS/3d-colormap.png" "#FF0000" ${rect[colormap]})
qxd_log "colour map: $blue blue and $red red pixels"
[ "$blue" -gt 200 ] && [ "$red" -gt 10 ] || qxd_fail "the colour map's bands are missing"
# The wire frame's lines and the bars' faces are black (the plots' colour) on the light walls.
for name in wireframe bars colorfill; do
    black=$(qxd_count_of "$ARTIFACTS/3d-$name.png" "#000000" ${rect[$name]})
    qxd_log "$name: $black black pixels"
    [ "$black" -gt 300 ] || qxd_fail "the $name plot draws too little"
done

# A double click inside the 3D box opens Plot Details on the plot.
qxd "activate ${made[colormap]}" && qxd settle || qxd_fail "activate the colour map"
qxd_stable_view || qxd_fail "view"
xdotool mousemove --sync $(((vl + vr) / 2)) $(((vt + vb) / 2)) click --repeat 2 --delay 80 1
qxd settle || qxd_fail "settle after the double click"
qxd windows || qxd_fail "windows"
details=
for line in "${QXD_ANSWER[@]}"; do
    [[ $line == *"Plot Details"* ]] && read -r _ details _ <<<"$line"
done
[ -n "$details" ] || qxd_fail "a double click on the 3D plot opened no Plot Details: ${QXD_ANSWER[*]}"
qxd_screenshot "$ARTIFACTS/3d-plot-details.png"
qxd_close_windows || qxd_fail "close Plot Details"

# The rotation toolbar's command turns the colour map's box.
qxd "activate ${made[colormap]}" && qxd settle || qxd_fail "activate the colour map"
qxd view || qxd_fail "view"
read -r _ _ vl vt vr vb <<<"${QXD_ANSWER[0]}"
qxd_screenshot "$QXD_TMP/before-turn.png"
qxd "invoke 35552" || qxd_fail "rotate counterclockwise"
qxd settle
qxd_screenshot "$ARTIFACTS/3d-colormap-turned.png"
changed=$(compare -metric AE "$QXD_TMP/before-turn.png" "$ARTIFACTS/3d-colormap-turned.png" null: 2>&1 | cut -d' ' -f1)
qxd_log "turning changed $changed pixels"
[ "${changed%.*}" -gt 500 ] || qxd_fail "Rotate counterclockwise did not turn the box"
qxd "invoke 35561" || qxd_fail "reset rotation"

# A scatter of data far from the 0 .. 10 of an empty graph: its axes hold the data.
qxd "script win -t wks; for (i = 1; i <= 10; i += 1) { col(A)[i] = 100 + 10 * i; col(B)[i] = -50 + i * i }" || qxd_fail "worksheet"
qxd "invoke 33248" || qxd_fail "scatter"
qxd settle
picture "$ARTIFACTS/scatter-rescaled.png"
qxd axes || qxd_fail "axes"
read -r _ _ xfrom xto <<<"${QXD_ANSWER[0]}"
read -r _ _ yfrom yto <<<"${QXD_ANSWER[1]}"
qxd_log "scatter axes: X $xfrom .. $xto, Y $yfrom .. $yto"
awk -v a="$xfrom" -v b="$xto" -v c="$yfrom" -v d="$yto" 'BEGIN { exit !(a <= 110 && b >= 200 && c <= -49 && d >= 50 && b - a <= 200 && d - c <= 200) }' ||
    qxd_fail "the scatter's axes do not hold its data: X $xfrom .. $xto, Y $yfrom .. $yto"
n=$(colours_in "$ARTIFACTS/scatter-rescaled.png" "$vl" "$vt" "$vr" "$vb")
[ "$n" -gt 2 ] || qxd_fail "the scatter window is uniform"

qxd_close_windows || qxd_fail "close"
qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS: 3d-colormap.png 3d-colorfill.png 3d-wireframe.png 3d-wiresurface.png 3d-bars.png 3d-contour.png 3d-colormap-turned.png 3d-plot-details.png scatter-rescaled.png"
