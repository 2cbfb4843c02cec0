#!/usr/bin/env bash
# A new workbook window shows its workbook in place: values typed into its cells, a block
# selected by dragging and plotted by the Plot menu's Line (the plotted values read back
# from the program's state), the project saved and opened again with its workbook; then
# File > Open Excel on a workbook file.
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
printf 'QXWORKBOOK 1\nACTIVE 0\nSHEET Sheet1\n1 1 S Time\n2 1 N 0.5\n3 1 N 1.5\n' >"$xls"
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

qxd "post 57665" || qxd_fail "Exit"
sleep 1
qxd_close_windows n || true
qxd_end_program 60 || qxd_fail "the program did not end"
