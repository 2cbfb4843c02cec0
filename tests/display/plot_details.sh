#!/usr/bin/env bash
# A first graph as a person makes it: a worksheet filled by script is plotted as a line, a
# scatter and columns from the Plot menu's commands; a double click on the line opens Plot
# Details, a new colour is chosen there with the mouse and the keyboard, OK, and the window
# then shows the line in that colour, also after the project is saved and opened again;
# the fitter opens from the graph. Pictures of each graph go to the artifacts folder.
#   plot_details.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

# y = x: the line crosses the middle of its layer, whatever the axes' scales.
qxd "script win -t wks; for (i = 1; i <= 10; i += 1) { col(A)[i] = i; col(B)[i] = i }" || qxd_fail "worksheet"
qxd children || qxd_fail "children"
read -r _ worksheet _ <<<"${QXD_ANSWER[0]}"

graph_of() { # the page window a plot command made: the active one, other than the worksheet
    local line hwnd active
    qxd children || return 1
    for line in "${QXD_ANSWER[@]}"; do
        read -r _ hwnd _ active _ <<<"$line"
        [ "$active" = 1 ] && [ "$hwnd" != "$worksheet" ] && { echo "$hwnd"; return 0; }
    done
    return 1
}

declare -A graphs
for kind in "33249 line" "33248 scatter" "33255 column"; do
    read -r id name <<<"$kind"
    qxd "activate $worksheet" || qxd_fail "activate the worksheet"
    qxd "invoke $id" || qxd_fail "plot $name"
    qxd settle
    graph_of >"$QXD_TMP/graph" || qxd_fail "the $name plot made no graph window: ${QXD_ANSWER[*]}"
    graphs[$name]=$(cat "$QXD_TMP/graph")
    # A double click on the page window's caption maximizes it, for a larger picture.
    qxd_stable_view || qxd_fail "view"
    xdotool mousemove --sync $((vl + 80)) $((vt - 10)) click --repeat 2 --delay 80 1
    qxd settle
    qxd_screenshot "$ARTIFACTS/plot-$name.png"
done

# The line graph again, on top; where its view is on the screen.
qxd "activate ${graphs[line]}" && qxd settle || qxd_fail "activate the line graph"
qxd_stable_view || qxd_fail "view"
qxd_screenshot "$QXD_TMP/before.png"
# The line is black; of its pixels, the one nearest the view's middle lies inside the layer,
# away from the axes, ticks and labels at its edges.
cx=$(((vl + vr) / 2)) cy=$(((vt + vb) / 2))
read -r px py < <(qxd_pixels_of "$QXD_TMP/before.png" "#000000" "$vl" "$vt" "$vr" "$vb" |
    awk -v x="$cx" -v y="$cy" '{ d = ($1 - x) ^ 2 + ($2 - y) ^ 2; if (!n++ || d < best) { best = d; p = $1 " " $2 } } END { print p }')
[ -n "${px:-}" ] || qxd_fail "no black line in the graph window"
qxd_log "double click at $px,$py"
xdotool mousemove --sync "$px" "$py" click --repeat 2 --delay 80 1

qxd settle || qxd_fail "settle after the double click"
qxd_wait_window "Plot Details" 5 || qxd_fail "a double click on the line opened no Plot Details: ${QXD_ANSWER[*]}"
dialog=$QXD_WINDOW
qxd_screenshot "$ARTIFACTS/plot-details.png"

# The line's colour list (its first entry is Auto, then the colour table: Black, Red, ...).
qxd "control $dialog 1145" || qxd_fail "no colour list on the shown page"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $(((l + r) / 2)) $(((t + b) / 2))
qxd_key Home Down Down Return
qxd "control $dialog 1" || qxd_fail "no OK button"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $(((l + r) / 2)) $(((t + b) / 2))
qxd "gone $dialog 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "Plot Details did not close on OK"

qxd settle
qxd_screenshot "$ARTIFACTS/plot-line-red.png"
red=$(qxd_count_of "$ARTIFACTS/plot-line-red.png" "#FF0000" "$vl" "$vt" "$vr" "$vb")
qxd_log "red pixels in the graph window: $red"
[ "$red" -gt 20 ] || qxd_fail "the line is not drawn in the colour chosen in Plot Details"

# The project saved, closed and opened again: the line keeps its colour.
project=$(qxd_winpath "$QXD_TMP/plots.qpj")
qxd "script save $project" || qxd_fail "save the project"
qxd "script doc -n" && qxd settle || qxd_fail "close the project"
qxd "script open $project" && qxd settle || qxd_fail "open the project again"
qxd children || qxd_fail "children"
reopened=
for line in "${QXD_ANSWER[@]}"; do
    [[ $line == *" Graph1" ]] && read -r _ reopened _ <<<"$line"
done
[ -n "$reopened" ] || qxd_fail "the reopened project has no Graph1 window: ${QXD_ANSWER[*]}"
qxd "activate $reopened" && qxd settle || qxd_fail "activate the reopened graph"
qxd view || qxd_fail "view"
read -r _ _ vl vt vr vb <<<"${QXD_ANSWER[0]}"
xdotool mousemove --sync $((vl + 80)) $((vt - 10)) click --repeat 2 --delay 80 1
qxd settle
qxd view || qxd_fail "view"
read -r _ _ vl vt vr vb <<<"${QXD_ANSWER[0]}"
qxd_screenshot "$ARTIFACTS/plot-line-reopened.png"
red=$(qxd_count_of "$ARTIFACTS/plot-line-reopened.png" "#FF0000" "$vl" "$vt" "$vr" "$vb")
qxd_log "red pixels in the reopened graph window: $red"
[ "$red" -gt 20 ] || qxd_fail "the reopened project does not draw the line in its colour"

# Analysis > Non-linear Curve Fit opens the fitter's window on the graph.
# The window shows itself once it has made its first page, a moment after the command.
qxd "invoke 36085" || qxd_fail "the fitter command"
fitter=
for round in $(seq 50); do
    qxd windows || qxd_fail "windows"
    for line in "${QXD_ANSWER[@]}"; do
        [[ $line == "window "*" QFIT41Parent "* ]] && fitter=$line
    done
    [ -n "$fitter" ] && break
    sleep 0.2
done
[ -n "$fitter" ] || qxd_fail "the fitter window did not open: ${QXD_ANSWER[*]}"
qxd_screenshot "$ARTIFACTS/fitter.png"

qxd_close_windows || qxd_fail "close"
qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS: plot-line.png plot-scatter.png plot-column.png plot-details.png plot-line-red.png plot-line-reopened.png fitter.png"
