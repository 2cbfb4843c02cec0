#!/usr/bin/env bash
# A new workbook window shows its workbook in place: values typed into its cells, a block
# selected by dragging and plotted by the Plot menu's Line (the plotted values read back
# from the program's state), the project saved and opened again with its workbook; then
# File > Open Excel on a workbook file, and a block of it dragged with Ctrl onto a graph
# window, which plots it.
#   excel_inplace.sh BUILDDIR ARTIFACTS
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=display.sh
. "$here/display.sh"

artifacts=${2:?artifacts folder}
mkdir -p "$artifacts"
qxd_begin "${1:?build folder}"

# The stand-in spreadsheet server is the workbook's in-place server.
wine regsvr32 /s "$(qxd_winpath "$QXD_BIN/qxexcelsrv.dll")" 7>&- || qxd_fail "the spreadsheet server could not be registered"
qxd_start quorix61.exe -P "$(qxd_winpath "$QXD_INI")"
for tries in $(seq 600); do
    qxd settle && qxd windows || qxd_fail "the program does not answer after start"
    [ ${#QXD_ANSWER[@]} -gt 0 ] && break
    sleep 0.1
done
qxd_close_windows || qxd_fail "a window shown at start could not be closed"

dump() { qxd "dump $(qxd_winpath "$1")" && [ -s "$1" ] || qxd_fail "no state dump in $1"; }

# The workbook's own window inside the active workbook window's view: cell places from it.
sheet_window() {
    qxd_stable_view || qxd_fail "no active view"
    qxd "view" || qxd_fail "no view"
    read -r _ view _ <<<"${QXD_ANSWER[0]}"
    qxd "control $view 0" || { qxd_screenshot "$artifacts/not-in-place.png"; qxd_fail "the workbook is not shown in place in its window"; }
    read -r _ sl st sr sb <<<"${QXD_ANSWER[0]}"
}
cell_x() { echo $((sl + 40 + ($1 - 1) * 72 + 36)); }
cell_y() { echo $((st + 20 + ($1 - 1) * 20 + 10)); }
type_column() { # COLUMN VALUES...: a click on the column's first cell, each value and Enter
    local column=$1
    shift
    qxd_click "$(cell_x "$column")" "$(cell_y 1)"
    for value in "$@"; do
        xdotool type --delay 30 "$value"
        qxd_key Return
    done
}

qxd "invoke 34024" || qxd_fail "New Excel"
qxd_wait_for "exist(Book1) == 12" 10 || qxd_fail "New Excel made no workbook window"
sheet_window
type_column 1 1 2 3 4
type_column 2 10 20 15 40
# A1:B4 chosen by dragging over it.
xdotool mousemove --sync "$(cell_x 1)" "$(cell_y 1)" mousedown 1
qxd_glide "$(cell_x 1)" "$(cell_y 1)" "$(cell_x 2)" "$(cell_y 4)"
xdotool mouseup 1
qxd settle
qxd_screenshot "$artifacts/workbook.png"

# Plot > Line plots the selection: the typed values are the kernel's.
qxd_plot 33249 || { qxd_screenshot "$artifacts/no-plot.png"; qxd windows; echo "${QXD_ANSWER[*]}" >&2; qxd_fail "Line made no graph from the workbook's selection"; }
state=$artifacts/plotted.txt
dump "$state"
grep -qF 'values = "1 2 3 4"' "$state" && grep -qF 'values = "10 20 15 40"' "$state" ||
    qxd_fail "the sheet's columns in the program lack the typed values"
grep -qF 'x = "Sheet_A"' "$state" || qxd_fail "column B is not plotted against column A"
qxd "invoke 36321" && qxd settle || qxd_fail "Rescale"
qxd_screenshot "$artifacts/plotted.png"

# The project keeps the workbook: saved, closed, opened again.
project=$QXD_TMP/workbook.qpj
qxd_file_dialog 34048 "$project"
[ -s "$project" ] || qxd_fail "the project file was not written"
qxd "invoke 34017" || qxd_fail "Close Project"
qxd settle
qxd_wait_for "exist(Book1) == 0" 5 || qxd_fail "the project did not close"
qxd_file_dialog 33996 "$project"
qxd_wait_for "exist(Book1) == 12" 10 || qxd_fail "the workbook window did not come back with the project"
qxd children || qxd_fail "no page windows"
for line in "${QXD_ANSWER[@]}"; do
    read -r _ hwnd _ _ title <<<"$line"
    [ "$title" = Book1 ] && book=$hwnd
done
qxd "activate $book" && qxd settle || qxd_fail "activating the workbook window"
sheet_window
qxd_screenshot "$artifacts/reopened.png"
# Plotting fetches the columns from the workbook again: they are the ones typed.
xdotool mousemove --sync "$(cell_x 1)" "$(cell_y 1)" mousedown 1
qxd_glide "$(cell_x 1)" "$(cell_y 1)" "$(cell_x 2)" "$(cell_y 4)"
xdotool mouseup 1
qxd_plot 33249 || qxd_fail "Line made no graph from the reopened workbook"
state=$artifacts/reopened.txt
dump "$state"
grep -qF 'values = "10 20 15 40"' "$state" || qxd_fail "the reopened workbook lacks the typed values"

# File > Open Excel: a workbook file chosen in the file box, opened as a workbook.
xls=$QXD_TMP/Measured.xls
printf 'QXWORKBOOK 1\nACTIVE 0\nSHEET Sheet1\n1 1 S Time\n2 1 N 0.5\n3 1 N 1.5\n4 1 N 2.5\n2 2 N 7\n3 2 N 8\n4 2 N 6\n' >"$xls"
qxd "invoke 33994" || qxd_fail "Open Excel"
qxd_wait_window "Open" 10 || qxd_fail "Open Excel showed no file box"
sleep 0.5
xdotool type --delay 20 "$(qxd_winpath "$xls")"
qxd_key Return
qxd_wait_window "Open Excel" 10 || qxd_fail "no Open Excel dialog for the chosen file"
qxd_key Return
for tries in $(seq 100); do
    qxd settle && qxd windows || qxd_fail "the program does not answer after Open Excel"
    [ ${#QXD_ANSWER[@]} -eq 0 ] && break
    sleep 0.1
done
[ ${#QXD_ANSWER[@]} -eq 0 ] || qxd_fail "a window stays open after Open Excel"
sheet_window
qxd_screenshot "$artifacts/opened-file.png"
state=$QXD_TMP/opened.txt
dump "$state"
grep -qF "Measured.xls" "$state" || qxd_fail "no workbook window on the opened file"

# The opened workbook beside the graph made above: A2:B4 selected by the keys (the tiled
# window shows a row or two; the sheet scrolls to the moving corner), then pressed with
# Ctrl inside the block where it shows, carried over the graph and let go there.
graph=$QXD_GRAPH
qxd children || qxd_fail "no page windows"
for line in "${QXD_ANSWER[@]}"; do
    read -r _ hwnd _ active _ <<<"$line"
    [ "$active" = 1 ] && measured=$hwnd
done
[ -n "${measured:-}" ] || qxd_fail "no active window after Open Excel: ${QXD_ANSWER[*]}"
qxd "activate $graph" && qxd settle && qxd "script layer -c" || qxd_fail "the graph's plots"
qxd_expect 'count == 1'
qxd "invoke 57652" || qxd_fail "Tile Vertically"
qxd "activate $graph" && qxd_stable_view || qxd_fail "graph view"
gx=$(((vl + vr) / 2)) gy=$(((vt + vb) / 2))
qxd "activate $measured" && qxd settle || qxd_fail "activating the opened workbook"
sheet_window
qxd_click "$(cell_x 1)" "$(cell_y 1)"
qxd_key Down shift+Down shift+Down shift+Right
qxd settle
qxd_screenshot "$artifacts/drag-selected.png"
qxd_move "$(cell_x 1)" "$(cell_y 1)"
xdotool keydown ctrl mousedown 1
qxd_glide "$(cell_x 1)" "$(cell_y 1)" "$gx" "$gy" 8
xdotool keyup ctrl
sleep 0.5
xdotool mousemove $((gx + 2)) $((gy + 2)) sleep 0.5 mouseup 1
qxd settle
qxd_screenshot "$artifacts/range-dropped.png"
qxd windows
[ "${#QXD_ANSWER[@]}" -eq 0 ] || qxd_fail "the drop showed a window: ${QXD_ANSWER[*]}"
qxd "activate $graph" && qxd settle || qxd_fail "graph active"
qxd "script layer -c" || qxd_fail "layer -c"
qxd_wait_for 'count == 2' 0 || qxd_fail "the block dropped on the graph was not plotted"
state=$artifacts/dropped.txt
dump "$state"
grep -qF 'values = "-- 7 8 6"' "$state" || qxd_fail "the graph's new plot lacks the dropped block's values"
qxd "invoke 36321" && qxd settle || qxd_fail "Rescale"
qxd_screenshot "$artifacts/range-plotted.png"

qxd "post 57665" || qxd_fail "Exit"
qxd_end_answering_no 60 || qxd_fail "the program did not end"
