#!/usr/bin/env bash
# A worksheet used as a person uses it, under a real X display: File > Import ASCII reads a
# CSV file chosen in the file dialog into the worksheet, the worksheet shows it (a
# picture), a value typed into a cell lands there, Fill Column With > Row Numbers fills a
# column, and the project saved, closed and opened again holds the same values; then Format
# > Column renames a column, and Statistics on Columns makes a worksheet of its results. The
# values are checked through the program's own script interpreter.
#   worksheet_import.sh BUILDDIR ARTIFACTS
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=display.sh
. "$here/display.sh"

artifacts=${2:?artifacts folder}
mkdir -p "$artifacts"
qxd_begin "${1:?build folder}"

csv=$QXD_TMP/samples.csv
printf '0.5,1.25\r\n1,\r\n1.5,2.75\r\n2,text\r\n2.5,3.5\r\n' >"$csv"

qxd_start quorix61.exe -P "$(qxd_winpath "$QXD_INI")"
for tries in $(seq 600); do
    qxd settle && qxd windows || qxd_fail "the program does not answer after start"
    [ ${#QXD_ANSWER[@]} -gt 0 ] && break
    sleep 0.1
done
qxd_close_windows || qxd_fail "a window shown at start could not be closed"

# A worksheet window, made as New Worksheet makes it.
qxd "invoke 34006" || qxd_fail "New Worksheet"
qxd settle

# Checks values through the interpreter: a failed condition is an unknown command.

# The worksheet window lies at the top left of the frame's client area: a click into it
# makes its view the one the menu commands go to.
qxd parts || qxd_fail "parts"
client=""
for line in "${QXD_ANSWER[@]}"; do
    read -r _ _ _ _ l t r b class <<<"$line"
    [ "$class" = MDIClient ] && client="$l $t $r $b"
done
[ -n "$client" ] || qxd_fail "no client area in the main window"
read -r cl ct _ _ <<<"$client"
qxd_click $((cl + 60)) $((ct + 60))
qxd settle

# File > Import > Single ASCII by its shortcut, Ctrl+K: the file dialog, the file's name
# typed, Enter. The first file dialog of a session takes a while to come up under Wine.
qxd_key ctrl+k
for tries in $(seq 300); do
    qxd settle && qxd windows || qxd_fail "the program does not answer after Import ASCII"
    [ ${#QXD_ANSWER[@]} -gt 0 ] && break
    sleep 0.1
done
[ ${#QXD_ANSWER[@]} -gt 0 ] || qxd_fail "Import ASCII showed no file dialog"
qxd_log "file dialog: ${QXD_ANSWER[0]}"
sleep 0.5
xdotool type --delay 20 "$(qxd_winpath "$csv")"
qxd_key Return
for tries in $(seq 100); do
    qxd settle && qxd windows || qxd_fail "the program does not answer after the import"
    [ ${#QXD_ANSWER[@]} -eq 0 ] && break
    sleep 0.1
done
qxd_expect 'wks.ncols == 2 && wks.col1.nrows == 5'
qxd_expect 'Data1_A[3] == 1.5 && Data1_B[3] == 2.75'
qxd_expect 'Data1_B[5] == 3.5 && Data1_B[2] == --'
qxd_expect 'wks.col2.format == 7'

qxd_screenshot "$artifacts/worksheet-imported.png"

# A click into the first cell of column A (the probe says where the worksheet draws it),
# then three rows down and one column right: B4. Typed: 42.
qxd "cell 1 0" || qxd_fail "no first cell"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $(((l + r) / 2)) $(((t + b) / 2))
# The program takes the click before the keys: they go to the window it activates.
qxd settle
qxd_expect 'wks.c1 == 1 && wks.r1 == 1'
qxd_key Down Down Down Right
qxd settle
# A loaded machine may take a while over the keys: wait for the active cell to move.
qxd_wait_for 'wks.c1 == 2 && wks.r1 == 4' || true
qxd_expect 'wks.c1 == 2 && wks.r1 == 4'
xdotool type --delay 30 "42"
qxd_key Return
# A loaded machine may take a while over the keys: wait for the cell before judging it.
qxd_wait_for 'Data1_B[4] == 42' || true
qxd_expect 'Data1_B[4] == 42'
qxd_expect 'Data1_A[4] == 2'

# Column A selected, then Column > Fill Column With > Row Numbers from the menu command.
qxd "script wks.c1 = 1; wks.c2 = 1; wks.r1 = 0; wks.r2 = 0" || qxd_fail "select"
qxd "invoke 36444" || qxd_fail "Row Numbers"
qxd_expect 'Data1_A[1] == 1 && Data1_A[5] == 5'
qxd_screenshot "$artifacts/worksheet-edited.png"

# File > Save Project: the untitled project asks for its file in the Save As box. Then the
# project closes and File > Open reads it back: every value as it was.
project=$QXD_TMP/worksheet.qpj
qxd_file_dialog 34048 "$project"
[ -s "$project" ] || qxd_fail "the project file was not written"
qxd "invoke 34017" || qxd_fail "Close Project"
qxd settle
qxd_expect 'exist(Data1) == 0'
qxd_file_dialog 33996 "$project"
qxd_expect 'exist(Data1) == 2'
qxd_expect 'Data1_A[1] == 1 && Data1_A[3] == 3 && Data1_A[5] == 5'
qxd_expect 'Data1_B[1] == 1.25 && Data1_B[2] == -- && Data1_B[3] == 2.75 && Data1_B[4] == 42 && Data1_B[5] == 3.5'
qxd_expect 'wks.ncols == 2 && wks.col1.nrows == 5 && wks.col2.format == 7 && wks.col1.type == 4'
qxd_screenshot "$artifacts/worksheet-reopened.png"

# Column B selected, Format > Column: a new name, label and width typed into the dialog,
# the display set to scientific from the keyboard, OK by Enter.
qxd "script wks.c1 = 2; wks.c2 = 2; wks.r1 = 0; wks.r2 = 0" || qxd_fail "select B"
qxd "invoke 36401" || qxd_fail "Column Format"
dialog=""
for line in "${QXD_ANSWER[@]}"; do
    read -r kind hwnd _ <<<"$line"
    [ "$kind" = window ] && dialog=$hwnd
done
[ -n "$dialog" ] || qxd_fail "Format > Column opened no dialog: ${QXD_ANSWER[*]}"
field() { # ID TEXT: a click into the dialog's edit, its text replaced by typing
    qxd "control $dialog $1" || qxd_fail "no control $1"
    read -r _ l t r b <<<"${QXD_ANSWER[0]}"
    qxd_click $(((l + r) / 2)) $(((t + b) / 2))
    qxd_key ctrl+a BackSpace
    xdotool type --delay 30 "$2"
}
field 1650 "Volts"
field 1651 "Voltage"
field 1655 "12"
qxd_screenshot "$artifacts/column-format.png"
qxd_key Return
qxd "gone $dialog 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "Column Format stayed open"
expect 'exist(Data1_Volts) == 1 && wks.col2.width == 12'
qxd "script %L = wks.col2.label\$" || qxd_fail "label"
expect '"%L" == "Voltage"'

# Analysis > Statistics on Columns over every column: a new worksheet of the results.
qxd "script wks.c1 = 0; wks.c2 = 0" || qxd_fail "select nothing"
qxd "invoke 36434" || qxd_fail "Statistics on Columns"
qxd settle
expect 'exist(Data2) == 2 && Data2_N[1] == 5 && Data2_Mean[1] == 3 && Data2_N[2] == 4 && Data2_Max[2] == 42'
qxd_screenshot "$artifacts/statistics-on-columns.png"

qxd "post 57665" || qxd_fail "Exit"
qxd_end_answering_no 60 || qxd_fail "the program did not end"
