#!/usr/bin/env bash
# A matrix and a notes window used as a person uses them, under a real X display: New
# Matrix, Matrix > Set Values with a formula typed into the dialog, a value typed into a
# cell; New Notes with text typed into it; the project saved, closed and opened again
# holds everything as it was (the program's own state dumps compared); then a new
# workbook window.
#   matrix_notes.sh BUILDDIR ARTIFACTS
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=display.sh
. "$here/display.sh"

artifacts=${2:?artifacts folder}
mkdir -p "$artifacts"
qxd_begin "${1:?build folder}"

# The stand-in spreadsheet server answers the Excel link of the workbook window.
wine regsvr32 /s "$(qxd_winpath "$QXD_BIN/qxexcelsrv.dll")" 7>&- || qxd_fail "the spreadsheet server could not be registered"
qxd_start quorix61.exe -P "$(qxd_winpath "$QXD_INI")"
for tries in $(seq 600); do
    qxd settle && qxd windows || qxd_fail "the program does not answer after start"
    [ ${#QXD_ANSWER[@]} -gt 0 ] && break
    sleep 0.1
done
qxd_close_windows || qxd_fail "a window shown at start could not be closed"

# The project's state as the program holds it, in a file.
dump() { qxd "dump $(qxd_winpath "$1")" && [ -s "$1" ] || qxd_fail "no state dump in $1"; }
has() { grep -qF -- "$2" "$1" || qxd_fail "the state lacks \"$2\""; }

qxd "invoke 34008" || qxd_fail "New Matrix"
qxd settle
qxd "script matrix -ps dim 4 3" || qxd_fail "sizing the matrix"

# Matrix > Set Values: the formula typed into its box, the last row made 5, OK by Enter.
qxd "invoke 36050" || qxd_fail "Set Values"
dialog=""
for line in "${QXD_ANSWER[@]}"; do
    read -r kind hwnd _ <<<"$line"
    [ "$kind" = window ] && dialog=$hwnd
done
[ -n "$dialog" ] || qxd_fail "Set Values opened no dialog: ${QXD_ANSWER[*]}"
field() { # ID TEXT: a click into the dialog's edit, its text replaced by typing
    qxd "control $dialog $1" || qxd_fail "no control $1"
    read -r _ l t r b <<<"${QXD_ANSWER[0]}"
    qxd_click $(((l + r) / 2)) $(((t + b) / 2))
    qxd_key ctrl+a BackSpace
    xdotool type --delay 30 "$2"
}
field 1632 "i*10+j"
field 1654 "5"
qxd_key Return
qxd "gone $dialog 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "Set Values stayed open"
qxd settle

# A value typed into the active cell (row 1, column 1) replaces 11.
qxd view || qxd_fail "no matrix view"
read -r _ _ vl vt _ _ <<<"${QXD_ANSWER[0]}"
qxd_click $((vl + 70)) $((vt + 28))
xdotool type --delay 30 -- "-7.5"
qxd_key Return
qxd settle
qxd_screenshot "$artifacts/matrix.png"

# Right-clicks at X Y until a menu opens (three tries, each waiting 2 s at most: a click
# the window takes for its activation opens none); the open menus in QXD_ANSWER.
right_click_menu() {
    for attempt in 1 2 3; do
        qxd_move "$1" "$2"
        xdotool click 3
        for tries in $(seq 20); do
            qxd settle && qxd popups || qxd_fail "popups"
            [ ${#QXD_ANSWER[@]} -gt 0 ] && return 0
            sleep 0.1
        done
    done
}

# New Notes: what is typed goes into the notes window.
qxd "invoke 34025" || qxd_fail "New Notes"
qxd settle
sleep 0.5
xdotool type --delay 30 "Seen at 5 K"
qxd_key Return
xdotool type --delay 30 "twice"
qxd settle
qxd_screenshot "$artifacts/notes.png"

# A right click on the notes window's caption: its menu; Save Notes As... writes the text
# to the file named in the Save As box.
qxd view || qxd_fail "no notes view"
read -r _ _ nl nt nr _ <<<"${QXD_ANSWER[0]}"
right_click_menu $(((nl + nr) / 2)) $((nt - 9))
[ ${#QXD_ANSWER[@]} -eq 1 ] || qxd_fail "a right click on the notes caption opened no menu"
qxd "itemrect 57604" || qxd_fail "the notes caption menu has no Save Notes As"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_screenshot "$artifacts/notes-caption-menu.png"
qxd_click $(((l + r) / 2)) $(((t + b) / 2))
for tries in $(seq 100); do
    qxd settle && qxd windows || qxd_fail "the program does not answer after Save Notes As"
    [ ${#QXD_ANSWER[@]} -gt 0 ] && break
    sleep 0.1
done
[ ${#QXD_ANSWER[@]} -gt 0 ] || qxd_fail "Save Notes As showed no file box"
sleep 0.5
notesfile=$QXD_TMP/seen.txt
xdotool type --delay 20 "$(qxd_winpath "$notesfile")"
qxd_key Return
for tries in $(seq 100); do
    qxd settle && qxd windows || qxd_fail "the program does not answer after the file box"
    [ ${#QXD_ANSWER[@]} -eq 0 ] && break
    sleep 0.1
done
grep -q "Seen at 5 K" "$notesfile" && grep -q "twice" "$notesfile" || qxd_fail "the saved notes file lacks the typed text"

before=$QXD_TMP/before.txt after=$QXD_TMP/after.txt
dump "$before"
has "$before" 'row 1 = "-7.5 12 13"'
has "$before" 'row 5 = "51 52 53"'
has "$before" 'formula = "i*10+j"'
grep -q "Seen at 5 K.*twice" "$before" || qxd_fail "the notes do not hold the typed text"

project=$QXD_TMP/matrix-notes.qpj
qxd_file_dialog 34048 "$project"
[ -s "$project" ] || qxd_fail "the project file was not written"
dump "$before"
qxd "invoke 34017" || qxd_fail "Close Project"
qxd settle
qxd_wait_for "exist(Matrix1) == 0 && exist(Notes1) == 0" 0 || qxd_fail "the project did not close"
qxd_file_dialog 33996 "$project"
qxd settle
dump "$after"
diff "$before" "$after" >&2 || qxd_fail "the project opened again differs from the one saved"
qxd "invoke 57651" || qxd_fail "Tile Horizontally"
qxd settle
qxd_screenshot "$artifacts/reopened.png"

# A workbook window shows its active sheet as a table.
qxd "invoke 34024" || qxd_fail "New Excel"
qxd settle
qxd_wait_for "exist(Book1) == 12" 0 || qxd_fail "New Excel made no workbook window"
qxd_screenshot "$artifacts/workbook.png"

qxd "post 57665" || qxd_fail "Exit"
qxd_end_answering_no 60 || qxd_fail "the program did not end"
