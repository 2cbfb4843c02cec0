#!/usr/bin/env bash
# The graph window's layer and page commands as a person runs them: a worksheet of two
# curves plotted as a scatter; Extract to Layers puts the second curve into a layer of its
# own on the page's right half (its colour leaves the left half); Maximize Layer from the
# View menu and again; Layer... from the Format menu opens Plot Details; a second graph
# merged into the first; Extract to Graphs gives it back.
#   graph_layers.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

# The project's state dump, for counting its layers and reading their places.
dump() { # file
    qxd "dump $(qxd_winpath "$1")" || qxd_fail "dump"
}
layers_of() { grep -c '^ *layer Layer' "$1"; }

qxd "script win -t wks; wks.ncols = 3; for (i = 1; i <= 10; i += 1) { col(A)[i] = i; col(B)[i] = i; col(C)[i] = 11 - i }" ||
    qxd_fail "worksheet"
qxd_plot 33248 maximize || qxd_fail "the scatter made no graph window"
graph=$QXD_GRAPH worksheet=$QXD_WORKSHEET
# Window view: the page fills the view, so places on the page are fractions of the view.
qxd "invoke 34119" && qxd settle || qxd_fail "window view"
qxd view || qxd_fail "view"
read -r _ _ vl vt vr vb <<<"${QXD_ANSWER[0]}"
qxd_screenshot "$ARTIFACTS/layers-scatter.png"
# The second curve is red; below the legend, the layer's left half holds some of it.
red=$(qxd_count_of "$ARTIFACTS/layers-scatter.png" "#FF0000" $(qxd_view_part 6 30 48 88))
qxd_log "before extracting: $red red pixels in the left half"
[ "$red" -gt 20 ] || qxd_fail "the second curve is not drawn"

# Extract to Layers: two layers side by side, the red curve in the right one only.
qxd "invoke 33042" && qxd settle || qxd_fail "extract to layers"
dump "$QXD_TMP/extracted.txt"
[ "$(layers_of "$QXD_TMP/extracted.txt")" = 2 ] || qxd_fail "extract to layers made no second layer"
qxd_screenshot "$ARTIFACTS/layers-extracted.png"
left=$(qxd_count_of "$ARTIFACTS/layers-extracted.png" "#FF0000" $(qxd_view_part 6 30 48 88))
right=$(qxd_count_of "$ARTIFACTS/layers-extracted.png" "#FF0000" $(qxd_view_part 56 30 98 88))
qxd_log "after extracting: $left red pixels left, $right right"
[ "$left" = 0 ] && [ "$right" -gt 20 ] || qxd_fail "the red curve did not move into the right layer"

# View > Maximize Layer, by the menu: the active layer fills the page; again: back.
menu_command() { # menu-bar text, command id
    qxd_open_menu_item "$1" "$2" || qxd_fail "no item $2 in $1"
    qxd_click_item
    qxd settle
}
menu_command View 36127
dump "$QXD_TMP/maximized.txt"
grep -q 'restorePlace' "$QXD_TMP/maximized.txt" || qxd_fail "Maximize Layer kept no place to go back to"
qxd_screenshot "$ARTIFACTS/layers-maximized.png"
menu_command View 36127
dump "$QXD_TMP/restored.txt"
cmp -s "$QXD_TMP/extracted.txt" "$QXD_TMP/restored.txt" || qxd_fail "the second Maximize Layer did not put the layer back"

# Format > Layer...: Plot Details on the active layer.
menu_command Format 36083
qxd windows || qxd_fail "windows"
case "${QXD_ANSWER[*]}" in *"Plot Details"*) ;; *) qxd_fail "Layer... opened no Plot Details: ${QXD_ANSWER[*]}" ;; esac
qxd_screenshot "$ARTIFACTS/layers-layer-control.png"
qxd_close_windows || qxd_fail "close Plot Details"

# A second graph merged into the first: one graph with three layers.
qxd "activate $worksheet" && qxd "invoke 33249" && qxd settle || qxd_fail "line"
qxd "activate $graph" && qxd settle || qxd_fail "activate the graph"
qxd "invoke 36126" && qxd settle || qxd_fail "merge"
dump "$QXD_TMP/merged.txt"
[ "$(grep -c '^ *page Graph[0-9]* graph' "$QXD_TMP/merged.txt")" = 1 ] || qxd_fail "merge left another graph"
[ "$(layers_of "$QXD_TMP/merged.txt")" = 3 ] || qxd_fail "the merged graph has not three layers"
qxd_screenshot "$ARTIFACTS/layers-merged.png"
red=$(qxd_count_of "$ARTIFACTS/layers-merged.png" "#FF0000" $(qxd_view_part 50 0 100 50))
[ "$red" -gt 20 ] || qxd_fail "the red curve's layer is not in the top right cell"

# Extract to Graphs: each layer after the first in a graph window of its own.
qxd "invoke 33043" && qxd settle || qxd_fail "extract to graphs"
dump "$QXD_TMP/graphs.txt"
[ "$(grep -c '^ *page Graph[0-9]* graph' "$QXD_TMP/graphs.txt")" = 3 ] || qxd_fail "extract to graphs did not make two graphs"
qxd children || qxd_fail "children"
[ "${#QXD_ANSWER[@]}" = 4 ] || qxd_fail "the new graphs have no windows: ${QXD_ANSWER[*]}"

qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS: layers-scatter.png layers-extracted.png layers-maximized.png layers-layer-control.png layers-merged.png"
