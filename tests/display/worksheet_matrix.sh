#!/usr/bin/env bash
# A worksheet into a matrix and the worksheet's own script, under a real X display: X-Y-Z
# columns typed in by script, Edit > Convert to Matrix > Regular XYZ chosen with the mouse,
# the new matrix's cells read from the program's state; then Tools > Worksheet Script on
# the worksheet, a script typed into its dialog and run with Do It, its change read back
# and the script kept with the worksheet.
#   worksheet_matrix.sh BUILDDIR ARTIFACTS
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=display.sh
. "$here/display.sh"

qxd_start_program "${1:?build folder}" "${2:?artifacts folder}"

qxd "invoke 34006" || qxd_fail "New Worksheet"
qxd settle
qxd_wait_for "exist(Data1)" || qxd_fail "New Worksheet made no worksheet"
# A 3 x 2 grid: X 1 .. 3 along the columns, Y 10 and 20 along the rows, Z 1.5 .. 9.
# (One request is one line.)
data="worksheet -a 1; wks.col3.type = 6; for (i = 1; i <= 6; i += 1) Data1_C[i] = 1.5 * i"
for i in 1 2 3 4 5 6; do
    data+="; Data1_A[$i] = $(((i - 1) % 3 + 1)); Data1_B[$i] = $((i > 3 ? 20 : 10))"
done
qxd "script $data" ||
    qxd_fail "the worksheet's data"
qxd_expect "Data1_A[6] == 3 && Data1_B[6] == 20 && Data1_C[6] == 9"

# Edit, then Convert to Matrix (the item just above Transpose) opens its submenu.
qxd_open_menu_item Edit 36466 || qxd_fail "the Edit menu has no Transpose"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_glide $(((l + r) / 2)) $((t + (b - t) / 2)) $(((l + r) / 2)) $((t - (b - t) / 2)) 3
for tries in $(seq 25); do
    qxd "itemrect 32835" 2>/dev/null && break
    sleep 0.2
done
qxd "itemrect 32835" || qxd_fail "Convert to Matrix shows no Regular XYZ"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_move $((r - 10)) $(((t + b) / 2))
# (The glide stops short of the click's place: a move to where the pointer is already
# waits for a motion that never comes.)
qxd_glide $((r - 10)) $(((t + b) / 2)) $(((l + r) / 2 + 6)) $(((t + b) / 2)) 3
qxd_screenshot "$ARTIFACTS/convert-menu.png"
qxd_click $(((l + r) / 2)) $(((t + b) / 2))
qxd settle
qxd_wait_for "exist(Matrix1)" || qxd_fail "Regular XYZ made no matrix"
qxd_screenshot "$ARTIFACTS/matrix.png"

state=$QXD_TMP/state.txt
qxd "dump $(qxd_winpath "$state")" && [ -s "$state" ] || qxd_fail "no state dump"
for want in 'rows = 2' 'cols = 3' 'x = "1 3"' 'y = "10 20"' 'row 1 = "1.5 3 4.5"' 'row 2 = "6 7.5 9"'; do
    grep -qF -- "$want" "$state" || { grep -A12 "Matrix1" "$state" >&2; qxd_fail "the matrix lacks $want"; }
done

# Back to the worksheet: Tools > Worksheet Script, a script typed, Do It.
qxd children || qxd_fail "children"
for line in "${QXD_ANSWER[@]}"; do
    read -r _ hwnd _ _ title <<<"$line"
    [ "$title" = Data1 ] && qxd "activate $hwnd"
done
qxd settle
qxd_wait_for 'exist(%H) == 2' || qxd_fail "the worksheet is not the active window"
qxd "invoke 36091" || qxd_fail "Worksheet Script"
dialog=""
for line in "${QXD_ANSWER[@]}"; do
    read -r kind hwnd _ <<<"$line"
    [ "$kind" = window ] && dialog=$hwnd
done
[ -n "$dialog" ] || qxd_fail "Worksheet Script opened no dialog: ${QXD_ANSWER[*]}"
qxd "control $dialog 1660" || qxd_fail "the script's edit"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $(((l + r) / 2)) $(((t + b) / 2))
xdotool type --delay 20 'col(C)[1] = 100 * wks.ncols;'
qxd_key Return
xdotool type --delay 20 'col(A)[7] = 4;'
qxd_screenshot "$ARTIFACTS/worksheet-script.png"
qxd "control $dialog 1661" || qxd_fail "Do It"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $(((l + r) / 2)) $(((t + b) / 2))
qxd "gone $dialog 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "Worksheet Script stayed open"
qxd settle
qxd_wait_for 'Data1_C[1] == 300 && Data1_A[7] == 4' || qxd_fail "the script did not run on the worksheet"
qxd_screenshot "$ARTIFACTS/script-ran.png"
qxd "dump $(qxd_winpath "$state")" && [ -s "$state" ] || qxd_fail "no state dump"
grep -qF 'col(C)[1] = 100 * wks.ncols;' "$state" || qxd_fail "the worksheet did not keep its script"

qxd_exit_answering_no
