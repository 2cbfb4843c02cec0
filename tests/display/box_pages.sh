#!/usr/bin/env bash
# A box chart's Data and Percentile pages from the program: a double click on the box opens
# Plot Details; the Box page's type "Box + Data" brings the Data page, where the data are
# drawn as bins; on the Percentile page a marker's button drops the symbol well, and the
# markers' edge becomes blue; after OK the window
# shows the blue markers. Pictures of each page go to the artifacts folder.
#   box_pages.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

# Chooses the entry of a drop list by keys: Home, then Down so many times, then Return.
choose() { # dialog id downs
    local x y keys=(Home)
    read -r x y < <(qxd_centre_of "$1" "$2") || qxd_fail "no list $2"
    qxd_click "$x" "$y"
    for ((i = 0; i < $3; i++)); do keys+=(Down); done
    qxd_key "${keys[@]}" Return
    qxd settle
}
# Clicks the tabs in turn until the page holding the control shows.
show_page_with() { # dialog id
    local tab l t r b
    for tab in 0 1 2 3 4 5 6; do
        qxd "tab $1 $tab" 2>/dev/null || break
        read -r _ l t r b <<<"${QXD_ANSWER[0]}"
        qxd_click $(((l + r) / 2)) $(((t + b) / 2))
        qxd settle
        qxd "control $1 $2" 2>/dev/null && return 0
    done
    qxd_screenshot "$ARTIFACTS/no-page-$2.png"
    qxd_fail "no page with control $2"
}

qxd "script win -t wks; for (i = 1; i <= 20; i += 1) { col(A)[i] = i; col(B)[i] = i / 2 }" || qxd_fail "worksheet"
qxd_plot 33261 maximize || qxd_fail "the box chart made no graph window"
graph=$QXD_GRAPH
# The box's point, found in two pictures in a row (the window and the bars round it may
# still be moving).
box_point() {
    qxd settle
    qxd view || qxd_fail "view"
    read -r _ _ vl vt vr vb <<<"${QXD_ANSWER[0]}"
    qxd_screenshot "$ARTIFACTS/box-before.png"
    qxd_box_point "$ARTIFACTS/box-before.png"
}
found=$(box_point)
for round in 1 2 3 4 5; do
    again=$(box_point)
    [ "$again" = "$found" ] && break
    found=$again
done
read -r px py <<<"$found"
qxd view || qxd_fail "view"
read -r _ _ vl vt vr vb <<<"${QXD_ANSWER[0]}"
[ -n "${px:-}" ] || qxd_fail "no box drawn"
qxd_double_click_opens "Plot Details" "$px" "$py" || qxd_fail "a double click on the box opened no Plot Details"
dialog=$QXD_WINDOW

show_page_with "$dialog" 1315
choose "$dialog" 1315 2 # Box + Data: the Data page comes
show_page_with "$dialog" 1395
qxd_screenshot "$ARTIFACTS/page-data.png"
choose "$dialog" 1395 1 # Bins as Bars
sleep 0.5 # the sheet is shown again after the tabs were checked
qxd_screenshot "$ARTIFACTS/page-data-bars.png"
show_page_with "$dialog" 1391
qxd_screenshot "$ARTIFACTS/page-percentile.png"
# The maximum's marker button drops the symbol gallery's well; Escape closes it.
read -r x y < <(qxd_centre_of "$dialog" 1386) || qxd_fail "no marker button for the maximum"
qxd_click "$x" "$y"
sleep 0.3
qxd_screenshot "$ARTIFACTS/page-percentile-well.png"
qxd_key Escape
qxd settle
read -r x y < <(qxd_centre_of "$dialog" 1391) || qxd_fail "no size"
qxd_click "$x" "$y" # the size typed: Return in the edit would press OK
qxd_key Home shift+End
xdotool type --delay 30 "20"
choose "$dialog" 1408 4 # edge colour: Automatic, Black, Red, Green, Blue
qxd_screenshot "$ARTIFACTS/page-percentile-blue.png"
read -r x y < <(qxd_centre_of "$dialog" 1) || qxd_fail "no OK button"
qxd_click "$x" "$y"
qxd "gone $dialog 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "Plot Details did not close on OK"
qxd settle
qxd "dump $(qxd_winpath "$QXD_TMP/after.txt")" || qxd_fail "dump"
grep -q 'boxData = "type 1 ' "$QXD_TMP/after.txt" || qxd_fail "the Data page's type was not kept: $(grep boxData "$QXD_TMP/after.txt")"
qxd_click $((vl + 10)) $((vb - 10)) # off the page: the plot's selection handles go
qxd settle
qxd_screenshot "$ARTIFACTS/box-after.png"
blue=$(qxd_count_of "$ARTIFACTS/box-after.png" "#0000FF" "$vl" "$vt" "$vr" "$vb")
qxd_log "blue pixels of the percentile markers: $blue"
[ "$blue" -gt 20 ] || qxd_fail "the percentile markers are not drawn with the edge chosen"

qxd_close_windows || qxd_fail "close"
qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS: box-before.png page-data.png page-data-bars.png page-percentile.png page-percentile-well.png page-percentile-blue.png box-after.png"
