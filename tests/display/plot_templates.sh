#!/usr/bin/env bash
# The plot template commands from the worksheet's Plot menu, by the mouse: Panel > 4 Panel
# (four layers, axes drawn in each quarter of the page), Special Line/Symbol > Double-Y
# (the second curve red on the right axis's layer) and Statistical Graphs > QC (X bar R)
# Chart (means above, ranges below, red limits and green centre lines in both halves);
# the project saved, closed and opened again with its state dump unchanged.
#   plot_templates.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

dump() { qxd "dump $(qxd_winpath "$1")" && [ -s "$1" ] || qxd_fail "no state dump in $1"; }
# The layers of one graph in a dump.
layers_of() { # file graph
    awk -v page="$2" '$1 == "page" { inside = ($2 == page) } inside && $1 == "layer" { n++ } END { print n + 0 }' "$1"
}
# Waits for a rectangle answer from a request that fails until a menu is open.
rect_of() { # request
    local tries
    for tries in $(seq 30); do
        qxd "$1" 2>/dev/null && { read -r _ l t r b <<<"${QXD_ANSWER[0]}"; return 0; }
        sleep 0.1
    done
    return 1
}
# Plot > submenu > command, clicked as a person would (three tries at the menu bar, since
# a click the window takes for its activation opens nothing); the new graph window is
# maximised and shows the whole page.
plot_from_menu() { # submenu text, command id, graph number
    local line name l t r b graph hwnd active attempt opened=
    qxd "activate $worksheet" && qxd settle || qxd_fail "activate the worksheet"
    for attempt in 1 2 3; do
        qxd bar || qxd_fail "bar"
        for line in "${QXD_ANSWER[@]}"; do
            read -r _ _ l t r b name <<<"$line"
            [ "${name//&/}" = Plot ] && break
        done
        [ "${name//&/}" = Plot ] || qxd_fail "no Plot menu"
        qxd_click $(((l + r) / 2)) $(((t + b) / 2))
        rect_of "subrect $1" && { opened=1; break; }
        qxd_key Escape Escape
    done
    [ -n "$opened" ] || qxd_fail "no submenu $1 in the Plot menu"
    qxd_click $(((l + r) / 2)) $(((t + b) / 2))
    rect_of "itemrect $2" || qxd_fail "no item $2 in $1"
    qxd_click $(((l + r) / 2)) $(((t + b) / 2))
    qxd settle
    qxd_wait_for "exist(Graph$3) == 3" 10 || qxd_fail "command $2 made no Graph$3"
    qxd children || qxd_fail "children"
    graph=
    for line in "${QXD_ANSWER[@]}"; do
        read -r _ hwnd _ active _ <<<"$line"
        [ "$active" = 1 ] && graph=$hwnd
    done
    [ -n "$graph" ] && [ "$graph" != "$worksheet" ] || qxd_fail "command $2 left no graph window active"
    qxd "maximize $graph" && qxd settle || qxd_fail "maximize"
    qxd "invoke 34119" && qxd settle || qxd_fail "window view"
    qxd view || qxd_fail "view"
    read -r _ _ vl vt vr vb <<<"${QXD_ANSWER[0]}"
}

qxd "script win -t wks; wks.ncols = 4; wks.col1.type = 4; for (i = 1; i <= 20; i += 1) { col(A)[i] = i;" \
    "col(B)[i] = sin(i / 3) + 2; col(C)[i] = 40 + 10 * cos(i / 3); col(D)[i] = mod(i * 7, 5) + i / 10 }" ||
    qxd_fail "worksheet"
qxd children || qxd_fail "children"
read -r _ worksheet _ <<<"${QXD_ANSWER[0]}"
qxd_hide_explorer || qxd_fail "hide the explorer"

# Panel > 4 Panel: four layers, one to each quarter, the empty one too.
plot_from_menu Panel 33323 1
dump "$QXD_TMP/panel.txt"
[ "$(layers_of "$QXD_TMP/panel.txt" Graph1)" = 4 ] || qxd_fail "4 Panel made no four layers"
qxd_screenshot "$ARTIFACTS/templates-4-panel.png"
for cell in "0 0 50 50" "50 0 100 50" "0 50 50 100" "50 50 100 100"; do
    black=$(qxd_count_of "$ARTIFACTS/templates-4-panel.png" "#000000" $(qxd_view_part $cell))
    qxd_log "4 Panel: $black black pixels in the quarter $cell"
    [ "$black" -gt 200 ] || qxd_fail "no layer drawn in the quarter $cell"
done

# Special Line/Symbol > Double-Y: the first curve black on the left axis, the others red and
# green in a second layer linked to the first.
plot_from_menu "Special Line/Symbol" 33288 2
dump "$QXD_TMP/doubley.txt"
[ "$(layers_of "$QXD_TMP/doubley.txt" Graph2)" = 2 ] || qxd_fail "Double-Y made no two layers"
grep -q 'linkTo = 0' "$QXD_TMP/doubley.txt" || qxd_fail "the right layer is not linked to the first"
qxd_screenshot "$ARTIFACTS/templates-double-y.png"
red=$(qxd_count_of "$ARTIFACTS/templates-double-y.png" "#FF0000" $(qxd_view_part 10 10 90 90))
qxd_log "Double-Y: $red red pixels"
[ "$red" -gt 50 ] || qxd_fail "the right axis's curve is not drawn"

# Statistical Graphs > QC (X bar R) Chart: a worksheet of means, ranges and limits, and
# their two layers.
plot_from_menu "Statistical Graphs" 33292 3
qxd_expect "exist(QC1) == 2"
dump "$QXD_TMP/qc.txt"
[ "$(layers_of "$QXD_TMP/qc.txt" Graph3)" = 2 ] || qxd_fail "the QC chart has no two layers"
qxd_screenshot "$ARTIFACTS/templates-qc.png"
for half in "0 0 100 50" "0 50 100 100"; do
    red=$(qxd_count_of "$ARTIFACTS/templates-qc.png" "#FF0000" $(qxd_view_part $half))
    green=$(qxd_count_of "$ARTIFACTS/templates-qc.png" "#00FF00" $(qxd_view_part $half))
    qxd_log "QC chart: $red red and $green green pixels in $half"
    [ "$red" -gt 50 ] && [ "$green" -gt 20 ] || qxd_fail "limits or centre line missing in $half"
done

# Saved, closed, opened again: the same project.
before=$QXD_TMP/before.txt after=$QXD_TMP/after.txt
project=$QXD_TMP/plot-templates.qpj
qxd_file_dialog 34048 "$project"
[ -s "$project" ] || qxd_fail "the project file was not written"
dump "$before"
qxd "invoke 34017" || qxd_fail "Close Project"
qxd settle
qxd_wait_for "exist(Graph3) == 0" 5 || qxd_fail "the project did not close"
qxd_file_dialog 33996 "$project"
qxd settle
dump "$after"
diff "$before" "$after" >&2 || qxd_fail "the project opened again differs from the one saved"

qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS: templates-4-panel.png templates-double-y.png templates-qc.png"
