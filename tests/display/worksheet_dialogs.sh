#!/usr/bin/env bash
# The worksheet's dialogs and mouse work under a real X display: Set Column Values fills a
# column from a formula typed into its dialog, a right click on the worksheet's corner
# opens its context menu and Sort Worksheet there sorts by two columns in Nested Sort, a
# right click on a heading shows the heading's menu, a column's width is dragged at its
# heading's edge, and the project saved and opened again holds all of it. Values are
# checked through the program's own script interpreter.
#   worksheet_dialogs.sh BUILDDIR ARTIFACTS
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=display.sh
. "$here/display.sh"

artifacts=${2:?artifacts folder}
mkdir -p "$artifacts"
qxd_begin "${1:?build folder}"

qxd_start quorix61.exe -P "$(qxd_winpath "$QXD_INI")"
for tries in $(seq 600); do
    qxd settle && qxd windows || qxd_fail "the program does not answer after start"
    [ ${#QXD_ANSWER[@]} -gt 0 ] && break
    sleep 0.1
done
qxd_close_windows || qxd_fail "a window shown at start could not be closed"

qxd "invoke 34006" || qxd_fail "New Worksheet"
qxd settle

# The screen rectangle of a cell of the active worksheet (row -1: the heading).
cell() { qxd "cell $1 $2" || qxd_fail "cell $1 $2"; read -r _ L T R B <<<"${QXD_ANSWER[0]}"; }
# The screen rectangle of a control of a window.
control() { qxd "control $1 $2" || qxd_fail "control $2"; read -r _ L T R B <<<"${QXD_ANSWER[0]}"; }
click_control() { control "$1" "$2"; qxd_click $(((L + R) / 2)) $(((T + B) / 2)); }
# Waits until no window but the main one is shown.
all_closed() {
    for tries in $(seq 100); do
        qxd settle && qxd windows || qxd_fail "the program does not answer"
        [ ${#QXD_ANSWER[@]} -eq 0 ] && return 0
        sleep 0.1
    done
    qxd_fail "a window stays open: ${QXD_ANSWER[0]}"
}
# The window a command or click opened, by its title.
window_titled() {
    for tries in $(seq 100); do
        qxd windows || qxd_fail "windows"
        for line in "${QXD_ANSWER[@]}"; do
            read -r _ hwnd _ _ title <<<"$line"
            [ "$title" = "$1" ] && { WND=$hwnd; return 0; }
        done
        sleep 0.1
    done
    qxd_fail "no window \"$1\""
}

# The first click once the window's bars have settled (they move the worksheet's cells).
qxd_stable_view || qxd_fail "view"
cell 1 0
qxd_click $(((L + R) / 2)) $(((T + B) / 2))
qxd "script Data1_A[1] = 2; Data1_A[2] = 1; Data1_A[3] = 2; Data1_A[4] = 1" || qxd_fail "data"

# Column B's heading clicked, then Set Column Values: the formula typed into its edit.
# The click is made again when it was not seen: the window's bars may still be settling
# (the project explorer shows itself with the first page window), and a click that was
# seen only selects the same column again.
for round in 1 2 3; do
    cell 2 -1
    qxd_click $(((L + R) / 2)) $(((T + B) / 2))
    qxd settle
    qxd_wait_for 'wks.c1 == 2 && wks.c2 == 2' 2 && break
done
qxd_expect 'wks.c1 == 2 && wks.c2 == 2'
qxd "invoke 36433" || qxd_fail "Set Column Values"
window_titled "Set Column Values"
dialog=$WND
click_control "$dialog" 1632
xdotool type --delay 20 'col(A)*10+i'
qxd_screenshot "$artifacts/set-column-values.png"
click_control "$dialog" 1
all_closed
qxd_expect 'Data1_B[1] == 21 && Data1_B[2] == 12 && Data1_B[3] == 23 && Data1_B[4] == 14'

# A right click on the heading of B: the heading's menu, its first item the Plot menu.
cell 2 -1
qxd_move $(((L + R) / 2)) $(((T + B) / 2))
xdotool click 3
qxd settle
qxd popups || qxd_fail "popups"
[ ${#QXD_ANSWER[@]} -eq 1 ] || qxd_fail "a right click on a heading opened no menu"
qxd "itemrect 36450" || qxd_fail "the heading's menu has no Sort Column Ascending"
qxd_screenshot "$artifacts/heading-menu.png"
qxd_key Escape
qxd settle

# A right click on the corner: Sort Worksheet... opens Nested Sort; A ascending, then B
# descending; OK sorts.
cell 1 -1
qxd_move $((L - 5)) $(((T + B) / 2))
xdotool click 3
qxd settle
qxd "itemrect 36463" || qxd_fail "the corner's menu has no Sort Worksheet"
read -r _ L T R B <<<"${QXD_ANSWER[0]}"
qxd_click $(((L + R) / 2)) $(((T + B) / 2))
window_titled "Nested Sort"
dialog=$WND
for pick in "0 1107" "1 1108"; do
    read -r row button <<<"$pick"
    qxd "listitem $dialog 1105 $row" || qxd_fail "row $row of the column list"
    read -r _ L T R B <<<"${QXD_ANSWER[0]}"
    qxd_click $((L + 10)) $(((T + B) / 2))
    click_control "$dialog" "$button"
done
qxd_screenshot "$artifacts/nested-sort.png"
click_control "$dialog" 1
all_closed
qxd_expect 'Data1_A[1] == 1 && Data1_A[2] == 1 && Data1_A[3] == 2 && Data1_A[4] == 2'
qxd_expect 'Data1_B[1] == 14 && Data1_B[2] == 12 && Data1_B[3] == 23 && Data1_B[4] == 21'

# Column A's width dragged 60 pixels wider at the right edge of its heading.
qxd_expect 'wks.col1.width == 8'
cell 1 -1
y=$(((T + B) / 2))
qxd_move $((R - 1)) $y
xdotool mousedown 1
qxd_glide $((R - 1)) $y $((R + 60)) $y
xdotool mouseup 1
qxd settle
qxd_wait_for 'wks.col1.width > 13 && wks.col1.width < 18' 5 || qxd_fail "the dragged width was not taken"
qxd "script draggedWidth = wks.col1.width" || qxd_fail "width"
qxd_screenshot "$artifacts/worksheet-sorted.png"

# Saved, closed, opened again: the same values and width.
project=$QXD_TMP/dialogs.qpj
file_dialog() { # COMMAND PATH
    local tries attempt
    for attempt in 1 2 3; do
        qxd "invoke $1" || qxd_fail "command $1"
        for tries in $(seq 100); do
            qxd settle && qxd windows || qxd_fail "the program does not answer after command $1"
            [ ${#QXD_ANSWER[@]} -gt 0 ] && break 2
            sleep 0.1
        done
    done
    [ ${#QXD_ANSWER[@]} -gt 0 ] || qxd_fail "command $1 showed no file box"
    sleep 0.5
    xdotool type --delay 20 "$(qxd_winpath "$2")"
    qxd_key Return
    all_closed
}
file_dialog 34048 "$project"
[ -s "$project" ] || qxd_fail "the project file was not written"
qxd "invoke 34017" || qxd_fail "Close Project"
qxd settle
qxd_expect 'exist(Data1) == 0'
file_dialog 33996 "$project"
qxd_expect 'Data1_A[1] == 1 && Data1_A[2] == 1 && Data1_A[3] == 2 && Data1_A[4] == 2'
qxd_expect 'Data1_B[1] == 14 && Data1_B[2] == 12 && Data1_B[3] == 23 && Data1_B[4] == 21'
qxd_expect 'wks.col1.width == draggedWidth'
qxd_screenshot "$artifacts/worksheet-reopened.png"

qxd "post 57665" || qxd_fail "Exit"
qxd_end_answering_no 60 || qxd_fail "the program did not end"
