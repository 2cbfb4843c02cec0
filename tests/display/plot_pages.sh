#!/usr/bin/env bash
# The plot pages of Plot Details from the program: a double click on a scatter opens it
# on the Symbol page, where the symbols' edge becomes blue; the Drop Lines page switches
# on vertical drop lines; OK, and the window shows blue symbols and their drop lines. A
# double click on a pie opens its pages; the Pie Geometry page moves the pie. Last the
# scatter's symbols take their edge colours per point from a worksheet column, chosen in
# the edge colour button's menu. Pictures of each page go to the artifacts folder.
#   plot_pages.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

qxd "script win -t wks; for (i = 1; i <= 10; i += 1) { col(A)[i] = i; col(B)[i] = i }" || qxd_fail "worksheet"
qxd children || qxd_fail "children"
read -r _ worksheet _ <<<"${QXD_ANSWER[0]}"

# Makes a graph by a plot command, its window maximized; VL VT VR VB: its view.
plot() { # command
    local line hwnd active graph=
    qxd "activate $worksheet" || qxd_fail "activate the worksheet"
    qxd "invoke $1" || qxd_fail "plot command $1"
    qxd settle
    qxd children || qxd_fail "children"
    for line in "${QXD_ANSWER[@]}"; do
        read -r _ hwnd _ active _ <<<"$line"
        [ "$hwnd" != "$worksheet" ] && [ "$active" = 1 ] && graph=$hwnd
    done
    [ -n "$graph" ] || qxd_fail "plot command $1 made no graph window: ${QXD_ANSWER[*]}"
    GRAPH=$graph
    qxd "maximize $graph" && qxd settle || qxd_fail "maximize the graph"
    qxd view || qxd_fail "view"
    read -r _ _ VL VT VR VB <<<"${QXD_ANSWER[0]}"
}

# A window just made may not have drawn yet (a plot is found where it was drawn), so a
# double click that opened nothing is tried again.
open_details() { # x y
    local attempt
    DIALOG=
    for attempt in 1 2 3; do
        xdotool mousemove --sync "$1" "$2" click --repeat 2 --delay 80 1
        qxd settle || qxd_fail "settle after the double click"
        qxd windows || qxd_fail "windows"
        for line in "${QXD_ANSWER[@]}"; do
            [[ $line == *"Plot Details"* ]] && read -r _ DIALOG _ <<<"$line"
        done
        [ -n "$DIALOG" ] && return 0
        xdotool mousemove --sync $(($1 + 30)) $(($2 + 30)) sleep 0.5
    done
    qxd_screenshot "$ARTIFACTS/no-plot-details.png"
    qxd_fail "a double click at $1,$2 opened no Plot Details: ${QXD_ANSWER[*]}"
}

# Drops a colour button's menu with a press of the mouse (the menu takes the keys then),
# presses the keys, pictures the menu, and lets the button go.
color_menu() { # id picture keys...
    local id=$1 picture=$2
    shift 2
    qxd "control $DIALOG $id" || qxd_fail "no colour button $id on the shown page"
    read -r _ l t r b <<<"${QXD_ANSWER[0]}"
    xdotool mousemove --sync $(((l + r) / 2)) $(((t + b) / 2)) mousedown 1
    sleep 1
    qxd_key "${@:1:$#-1}"
    sleep 0.5
    qxd_screenshot "$ARTIFACTS/$picture"
    qxd_key "${@: -1}"
    xdotool mouseup 1
    qxd settle
}

click_control() { # id
    qxd "control $DIALOG $1" || qxd_fail "no control $1 on the shown page"
    read -r _ l t r b <<<"${QXD_ANSWER[0]}"
    qxd_click $(((l + r) / 2)) $(((t + b) / 2))
}

# The dialog's first tab, clicked (it opens on the tab it showed last).
first_tab() { # name
    qxd "tab $DIALOG 0" || qxd_fail "no $1 tab"
    read -r _ l t r b <<<"${QXD_ANSWER[0]}"
    qxd_click $(((l + r) / 2)) $(((t + b) / 2))
    qxd settle
}

# OK closes the dialog; the graph's picture, and its green and red pixels in the view.
ok_and_count() { # picture
    click_control 1
    qxd "gone $DIALOG 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "Plot Details did not close on OK"
    qxd settle
    qxd_screenshot "$ARTIFACTS/$1"
    GREEN=$(qxd_count_of "$ARTIFACTS/$1" "#00FF00" "$VL" "$VT" "$VR" "$VB")
    RED=$(qxd_count_of "$ARTIFACTS/$1" "#FF0000" "$VL" "$VT" "$VR" "$VB")
}

# The page: the white in the view (the window's background is grey too), "left top right
# bottom".
page_bounds() { # picture
    qxd_pixels_of "$1" "#FFFFFF" "$VL" "$VT" "$VR" "$VB" |
        awk '!n++ { l = r = $1; t = b = $2 } { l = $1 < l ? $1 : l; r = $1 > r ? $1 : r; t = $2 < t ? $2 : t; b = $2 > b ? $2 : b } END { print l, t, r, b }'
}

# The sheet's next tab, clicked; its picture.
TABS=0
next_tab() { # picture
    TABS=$((TABS + 1))
    qxd "tab $DIALOG $TABS" || qxd_fail "no tab $TABS"
    read -r _ l t r b <<<"${QXD_ANSWER[0]}"
    qxd_click $(((l + r) / 2)) $(((t + b) / 2))
    qxd settle
    qxd_screenshot "$ARTIFACTS/$1"
}

plot 33248 # scatter
SCATTER=$GRAPH
# A symbol of y = x near the middle, away from the axes, the page's edge and the legend,
# found in two pictures in a row (the maximized window may still be drawing).
read -r px py < <(qxd_steady_nearest "$QXD_TMP/scatter.png" "#000000" "$VL" "$VT" "$VR" "$VB")
[ -n "${px:-}" ] || qxd_fail "no black symbol in the scatter"
open_details "$px" "$py"
qxd_screenshot "$ARTIFACTS/page-symbol.png"

# The scatter's points may take their own colours, so the edge colour is a button whose
# menu starts Automatic, Black, Red, Green, Blue.
color_menu 1132 menu-edge-colors.png Down Down Down Down Down Return
qxd_screenshot "$ARTIFACTS/page-symbol-blue.png"
next_tab page-drop-lines.png
click_control 1440
qxd settle
qxd_screenshot "$ARTIFACTS/page-drop-lines-vertical.png"
click_control 1
qxd "gone $DIALOG 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "Plot Details did not close on OK"
qxd settle
qxd_screenshot "$ARTIFACTS/scatter-blue-drop-lines.png"
blue=$(qxd_count_of "$ARTIFACTS/scatter-blue-drop-lines.png" "#0000FF" "$VL" "$VT" "$VR" "$VB")
qxd_log "blue pixels in the scatter: $blue"
[ "$blue" -gt 100 ] || qxd_fail "the symbols are not drawn with the edge chosen in Plot Details"
# A drop line runs from the point nearest the middle straight down (in the symbols' black).
below=$(qxd_count_of "$ARTIFACTS/scatter-blue-drop-lines.png" "#000000" "$((px - 2))" "$((py + 20))" "$((px + 3))" "$((py + 40))")
qxd_log "drop-line pixels below the point: $below"
[ "$below" -gt 10 ] || qxd_fail "no vertical drop line below the point"

plot 33285 # pie of column B
qxd_screenshot "$QXD_TMP/pie.png"
open_details $(((VL + VR) / 2)) $(((VT + VB) / 2))
TABS=0
qxd_screenshot "$ARTIFACTS/page-pie-pattern.png"
next_tab page-pie-geometry.png
# The pie moves right by half its frame.
qxd "control $DIALOG 1783" || qxd_fail "no horizontal offset"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
xdotool mousemove --sync $(((l + r) / 2)) $(((t + b) / 2)) click --repeat 2 --delay 80 1
xdotool type --delay 30 "40"
qxd settle
qxd_screenshot "$ARTIFACTS/page-pie-geometry-offset.png"
next_tab page-pie-labels.png
click_control 1
qxd "gone $DIALOG 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "Plot Details did not close on OK"
qxd settle
qxd_screenshot "$ARTIFACTS/pie-moved.png"
# A small box just left of the view's middle: inside the pie before, paper after (the
# pie's left edge then lies right of the middle, whatever the window's size).
d=$(((VB - VT) / 10)) mx=$(((VL + VR) / 2)) my=$(((VT + VB) / 2))
box=("$((mx - d - 5))" "$((my - 5))" "$((mx - d + 5))" "$((my + 5))")
left=$(qxd_count_of "$QXD_TMP/pie.png" "#FFFFFF" "${box[@]}")
after=$(qxd_count_of "$ARTIFACTS/pie-moved.png" "#FFFFFF" "${box[@]}")
qxd_log "white pixels left of the middle: $left before, $after after"
[ "$left" -lt 20 ] && [ "$after" -gt 80 ] || qxd_fail "the pie did not move by the offset from Pie Geometry"

# Colours by point: column C of the worksheet holds colour numbers (3 green for rows 1 to 5,
# 2 red after); the scatter's edge colour "By Column" > Col(C) (the menu's last two entries
# are By Column and Color Map) draws its symbols in those colours.
qxd "activate $worksheet" || qxd_fail "activate the worksheet"
qxd "script worksheet -a 1; for (i = 1; i <= 5; i += 1) { col(C)[i] = 3 }; for (i = 6; i <= 10; i += 1) { col(C)[i] = 2 }" || qxd_fail "colour column"
qxd "activate $SCATTER" && qxd settle || qxd_fail "activate the scatter"
qxd view || qxd_fail "view"
read -r _ _ VL VT VR VB <<<"${QXD_ANSWER[0]}"
qxd_screenshot "$QXD_TMP/scatter-again.png"
read -r px py < <(qxd_pixels_of "$QXD_TMP/scatter-again.png" "#0000FF" "$((VL + (VR - VL) / 4))" "$((VT + (VB - VT) / 4))" \
    "$((VR - (VR - VL) / 4))" "$((VB - (VB - VT) / 4))" |
    awk -v x="$(((VL + VR) / 2))" -v y="$(((VT + VB) / 2))" '{ d = ($1 - x) ^ 2 + ($2 - y) ^ 2; if (!n++ || d < best) { best = d; p = $1 " " $2 } } END { print p }')
[ -n "${px:-}" ] || qxd_fail "no blue symbol in the scatter"
open_details "$px" "$py"
# The dialog opens on the tab it showed last: the Symbol tab is the first.
first_tab Symbol
qxd_screenshot "$ARTIFACTS/page-symbol-button.png"
color_menu 1132 menu-edge-by-column.png Up Up Right Down Down Return
qxd_screenshot "$ARTIFACTS/page-symbol-by-column.png"
ok_and_count scatter-by-column.png
blue=$(qxd_count_of "$ARTIFACTS/scatter-by-column.png" "#0000FF" "$VL" "$VT" "$VR" "$VB")
qxd_log "symbols by column: $GREEN green, $RED red, $blue blue pixels"
[ "$GREEN" -gt 50 ] && [ "$RED" -gt 50 ] && [ "$blue" -lt 20 ] || qxd_fail "the symbols do not take their colours from column C"
# The two colours split the points: green on the left (rows 1 to 5), red on the right.
gx=$(qxd_pixels_of "$ARTIFACTS/scatter-by-column.png" "#00FF00" "$VL" "$VT" "$VR" "$VB" | awk '{ s += $1 } END { print int(s / NR) }')
rx=$(qxd_pixels_of "$ARTIFACTS/scatter-by-column.png" "#FF0000" "$VL" "$VT" "$VR" "$VB" | awk '{ s += $1 } END { print int(s / NR) }')
[ "$gx" -lt "$rx" ] || qxd_fail "green symbols ($gx) are not left of the red ones ($rx)"

# Columns of B and C: the Pattern page's fill colour button, "By Column" > Col(C), fills
# column B's bars green (rows 1 to 5) and red.
plot 33255 # column
qxd settle
qxd_screenshot "$QXD_TMP/columns.png"
# Column B's tallest bars stand in the page's upper half, in the light grey fill.
read -r PL PT PR PB < <(page_bounds "$QXD_TMP/columns.png")
# (the last bar, on the frame's right edge, is left out).
read -r px py < <(qxd_pixels_of "$QXD_TMP/columns.png" "#C0C0C0" "$PL" "$((PT + (PB - PT) / 5))" "$((PL + (PR - PL) * 3 / 4))" "$((PT + (PB - PT) / 2))" |
    awk '{ if (!n++ || $1 > bx) { bx = $1; p = $1 - 2 " " $2 + 10 } } END { print p }')
[ -n "${px:-}" ] || qxd_fail "no bar of column B"
open_details "$px" "$py"
first_tab Pattern
qxd_screenshot "$ARTIFACTS/page-pattern-buttons.png"
color_menu 1172 menu-fill-by-column.png Up Up Right Down Down Return
qxd_screenshot "$ARTIFACTS/page-pattern-by-column.png"
ok_and_count columns-by-column.png
qxd_log "bars by column: $GREEN green, $RED red pixels"
[ "$GREEN" -gt 50 ] && [ "$RED" -gt 50 ] || qxd_fail "the bars do not take their fill from column C"

# A line with symbols: its Line page has the colour button in place of the colour list;
# its menu is pictured and left with Escape, and Cancel closes the dialog.
plot 33250 # line + symbol
qxd settle
qxd_screenshot "$QXD_TMP/lines.png"
# The line of B (y = x) crosses the page's middle, away from its axes.
read -r PL PT PR PB < <(page_bounds "$QXD_TMP/lines.png")
read -r px py < <(qxd_pixels_of "$QXD_TMP/lines.png" "#000000" "$((PL + (PR - PL) / 3))" "$((PT + (PB - PT) / 3))" \
    "$((PR - (PR - PL) / 3))" "$((PB - (PB - PT) / 3))" |
    awk -v x="$(((PL + PR) / 2))" -v y="$(((PT + PB) / 2))" '{ d = ($1 - x) ^ 2 + ($2 - y) ^ 2; if (!n++ || d < best) { best = d; p = $1 " " $2 } } END { print p }')
[ -n "${px:-}" ] || qxd_fail "no line in the middle of the graph"
open_details "$px" "$py"
first_tab Line
qxd "control $DIALOG 1145" && qxd_fail "the Line page shows the colour list of a line whose points may take their own colours"
color_menu 1139 menu-line-color.png Up Escape
qxd_key Escape
qxd settle
qxd_screenshot "$ARTIFACTS/page-line-button.png"
qxd_close_windows || qxd_fail "Plot Details did not close"

qxd_close_windows || qxd_fail "close"
qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS: page-symbol.png menu-edge-colors.png page-symbol-blue.png page-drop-lines.png page-drop-lines-vertical.png scatter-blue-drop-lines.png page-pie-pattern.png page-pie-geometry.png page-pie-geometry-offset.png page-pie-labels.png pie-moved.png page-symbol-button.png menu-edge-by-column.png page-symbol-by-column.png scatter-by-column.png page-pattern-buttons.png menu-fill-by-column.png page-pattern-by-column.png columns-by-column.png menu-line-color.png page-line-button.png"
