#!/usr/bin/env bash
# A contour plot's colour map changed in Plot Details as a person does it: a matrix plotted
# as a colour contour, a double click on the contours opens Plot Details on its Color Map
# page, a click on the Fill column's header opens the range Fill dialog, both ends are set
# to Magenta, OK twice, and the window draws the contours in magenta. Then the matrix as a
# colour-map surface: its pages shown in turn and its side walls switched on and drawn.
# Pictures of the pages and dialogs go to the artifacts folder.
#   colormap.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

window_titled() { # text: the handle of the first top window whose title holds it
    qxd windows || return 1
    local line hwnd
    for line in "${QXD_ANSWER[@]}"; do
        [[ $line == *"$1"* ]] && read -r _ hwnd _ <<<"$line" && echo "$hwnd" && return 0
    done
    return 1
}
wake() { # dialog: after a dialog over it closed, a click on its Missing values group
    # gives it the pointer back (the next click would only do that)
    read -r x y < <(qxd_centre_of "$1" 2074) || qxd_fail "no Missing values group"
    qxd_click "$x" "$y"
    qxd settle
}
pick_magenta() { # dialog id: Magenta is the sixth colour of the list
    read -r x y < <(qxd_centre_of "$1" "$2") || qxd_fail "no colour list $2"
    # F4 closes the list the click opened; the keys then choose in the closed box (a
    # Return would press the dialog's OK button).
    qxd_click "$x" "$y"
    qxd settle
    qxd_key F4
    qxd settle
    qxd_key Home Down Down Down Down Down
    qxd settle
}

# A slope rising across a 12 x 12 matrix, plotted as colour contours.
qxd "script win -t matrix; matrix -ps dim 12 12" || qxd_fail "matrix"
values=$(awk 'BEGIN { for (r = 0; r < 12; r++) for (c = 0; c < 12; c++) printf " %d", r + c }')
qxd "cells$values" || qxd_fail "matrix cells"
qxd_plot 35581 maximize || qxd_fail "the contour plot made no graph window: ${QXD_ANSWER[*]}"
qxd_stable_view || qxd_fail "view"
qxd_screenshot "$ARTIFACTS/contour-before.png"
before=$(qxd_count_of "$ARTIFACTS/contour-before.png" "#FF00FF" "$vl" "$vt" "$vr" "$vb")
qxd_log "magenta pixels before: $before"

xdotool mousemove --sync $(((vl + vr) / 2)) $(((vt + vb) / 2)) click --repeat 2 --delay 80 1
qxd settle || qxd_fail "settle after the double click"
dialog=$(window_titled "Plot Details") || qxd_fail "a double click on the contours opened no Plot Details"

# The Color Map page shows its level list (2064); else the tabs are gone through.
if ! qxd "control $dialog 2064" 2>/dev/null; then
    qxd "control $dialog 12320" || qxd_fail "no tab strip"
    read -r _ l t r b <<<"${QXD_ANSWER[0]}"
    qxd_click $((l + 12)) $((t + 8))
    for key in Right Right Left Left Left; do
        qxd settle
        qxd "control $dialog 2064" 2>/dev/null && break
        qxd_key "$key"
    done
fi
qxd "control $dialog 2064" || qxd_fail "the Color Map page is not shown"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
sleep 0.5
qxd_screenshot "$ARTIFACTS/page-color-map.png"

# The Fill column is the second: its header a little right of the Level column's width.
qxd_click $((l + 76)) $((t + 8))
qxd settle
fill=$(window_titled "Fill") || qxd_fail "the Fill header opened no Fill dialog"
qxd_screenshot "$ARTIFACTS/dialog-fill.png"
# A first click on the Range group makes the new dialog the one that takes the keys.
read -r x y < <(qxd_centre_of "$fill" 2098) || qxd_fail "no Range group in the Fill dialog"
qxd_click "$x" "$y"
qxd settle
pick_magenta "$fill" 2080
qxd_screenshot "$ARTIFACTS/dialog-fill-from.png"
pick_magenta "$fill" 2084
read -r x y < <(qxd_centre_of "$fill" 1) || qxd_fail "no OK in the Fill dialog"
qxd_click "$x" "$y"
qxd "gone $fill 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "the Fill dialog did not close on OK"
sleep 0.5
qxd_screenshot "$ARTIFACTS/page-color-map-magenta.png"

# The Level header opens Set Levels; Escape leaves it.
wake "$dialog"
qxd_click $((l + 20)) $((t + 8))
qxd settle
levels=$(window_titled "Set Levels") || qxd_fail "the Level header opened no Set Levels dialog"
qxd_screenshot "$ARTIFACTS/dialog-set-levels.png"
qxd_key Escape
qxd "gone $levels 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "Set Levels did not close on Escape"

# The Numeric Formats page, the second tab.
wake "$dialog"
qxd "control $dialog 12320" || qxd_fail "no tab strip"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $((l + 165)) $((t + 8))
qxd settle
qxd "control $dialog 2160" || qxd_fail "the Numeric Formats page is not shown"
sleep 0.5
qxd_screenshot "$ARTIFACTS/page-numeric-formats.png"

read -r x y < <(qxd_centre_of "$dialog" 1) || qxd_fail "no OK button"
qxd_click "$x" "$y"
qxd "gone $dialog 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "Plot Details did not close on OK"
qxd settle
qxd view || qxd_fail "view"
read -r _ _ vl vt vr vb <<<"${QXD_ANSWER[0]}"
qxd_screenshot "$ARTIFACTS/contour-after.png"
after=$(qxd_count_of "$ARTIFACTS/contour-after.png" "#FF00FF" "$vl" "$vt" "$vr" "$vb")
qxd_log "magenta pixels after: $after"
[ "$after" -gt $((before + 5000)) ] || qxd_fail "the graph does not draw the fills chosen on the Color Map page"

# The same matrix as a colour-map surface: its pages in turn, then side walls switched on.
qxd "script win -a Matrix1" || qxd_fail "activate the matrix"
qxd_plot 35577 maximize || qxd_fail "the colour-map surface made no graph window: ${QXD_ANSWER[*]}"
qxd_stable_view || qxd_fail "view"
qxd_screenshot "$ARTIFACTS/surface-before.png"
grey=$(qxd_count_of "$ARTIFACTS/surface-before.png" "#FF00FF" "$vl" "$vt" "$vr" "$vb")
xdotool mousemove --sync $(((vl + vr) / 2)) $(((vt + vb) / 2)) click --repeat 2 --delay 80 1
qxd settle || qxd_fail "settle after the double click"
dialog=$(window_titled "Plot Details") || qxd_fail "a double click on the surface opened no Plot Details"
# Each tab clicked in turn (the first click may only bring the dialog forward); the page
# it shows is known by a control of its own.
shown=
for index in 0 0 1 2 3 4; do
    qxd "tab $dialog $index" || qxd_fail "no tab $index"
    read -r _ l t r b <<<"${QXD_ANSWER[0]}"
    qxd_click $(((l + r) / 2)) $(((t + b) / 2))
    qxd settle
    for page in "color-map 2064" "numeric-formats 2160" "side-walls 1872" "grids 1924" "surface 1891"; do
        read -r name id <<<"$page"
        if qxd "control $dialog $id" 2>/dev/null; then
            qxd_screenshot "$ARTIFACTS/page-$name.png"
            [[ $shown == *"$name"* ]] || shown="$shown $name"
            [ "$name" = side-walls ] && walls_tab=$index
        fi
    done
done
qxd_log "pages shown:$shown"
[ "$(wc -w <<<"$shown")" = 5 ] || qxd_fail "not every page of the surface was shown:$shown"
qxd "tab $dialog $walls_tab" || qxd_fail "no Side Walls tab"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $(((l + r) / 2)) $(((t + b) / 2))
qxd settle
read -r x y < <(qxd_centre_of "$dialog" 1872) || qxd_fail "no side walls check"
qxd_click "$x" "$y"
qxd settle
pick_magenta "$dialog" 1873
pick_magenta "$dialog" 1874
sleep 0.3
qxd_screenshot "$ARTIFACTS/page-side-walls-magenta.png"
read -r x y < <(qxd_centre_of "$dialog" 1) || qxd_fail "no OK button"
qxd_click "$x" "$y"
qxd "gone $dialog 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "Plot Details did not close on OK"
qxd settle
qxd_screenshot "$ARTIFACTS/surface-after.png"
walls=$(qxd_count_of "$ARTIFACTS/surface-after.png" "#FF00FF" "$vl" "$vt" "$vr" "$vb")
qxd_log "magenta pixels before and after the side walls: $grey $walls"
[ "$walls" -gt $((grey + 300)) ] || qxd_fail "the surface does not draw the side walls switched on"

qxd_close_windows || qxd_fail "close"
qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS"
