#!/usr/bin/env bash
# The matrix window's Integrate and Smooth, and a notes window's own editing as a person
# does it: Replace All in the replace dialog driven by the keyboard, the text's context
# menu, and Window > Rename on the notes window.
#   notes_matrix_edit.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

state=$QXD_TMP/state.txt
dump() { qxd "dump $(qxd_winpath "$state")" && [ -s "$state" ] || qxd_fail "no state dump"; }
has() { grep -qF -- "$1" "$state" || qxd_fail "the state lacks \"$1\""; }
# The window a command opened (its handle), from the answer of invoke.
opened() {
    local line kind hwnd
    for line in "${QXD_ANSWER[@]}"; do
        read -r kind hwnd _ <<<"$line"
        [ "$kind" = window ] && { echo "$hwnd"; return 0; }
    done
    return 1
}

qxd "invoke 34008" || qxd_fail "New Matrix"
qxd settle
qxd_hide_explorer || qxd_fail "the explorer could not be hidden"
qxd "script matrix -ps dim 3 3; matrix -v i*j" || qxd_fail "the matrix's values"
qxd settle

# Integrate: the volume under i*j over X and Y 1 to 10 (trapezoids): 16 x 4.5 x 4.5.
qxd "invoke 36057" || qxd_fail "Integrate"
qxd_wait_for "volume == 324" || qxd_fail "Integrate gave no volume of 324"

# Smooth: the block size asked for (3 offered), taken with Enter.
qxd "invoke 36056" || qxd_fail "Smooth"
dialog=$(opened) || qxd_fail "Smooth asked nothing: ${QXD_ANSWER[*]}"
qxd_screenshot "$ARTIFACTS/smooth-asks.png"
qxd_key Return
qxd "gone $dialog 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "the block size box stayed open"
qxd settle
dump
has 'row 2 = "3 4 5"'
has 'row 3 = "3.75 5 6.25"'
qxd_screenshot "$ARTIFACTS/smoothed.png"

# A notes window typed into; Ctrl+H opens the replace dialog, which takes the keyboard:
# what to find, Tab, what to put instead, Alt+A for Replace All, Escape to close it.
qxd "invoke 34025" || qxd_fail "New Notes"
qxd settle
sleep 0.5
xdotool type --delay 30 "alpha beta alpha"
qxd settle
qxd_key ctrl+h
replace=
for _ in $(seq 25); do
    qxd settle && qxd windows || qxd_fail "the program does not answer after Ctrl+H"
    replace=$(opened) && break
    sleep 0.2
done
[ -n "$replace" ] || qxd_fail "Ctrl+H opened no replace dialog"
sleep 0.3
xdotool type --delay 30 "alpha"
qxd_key Tab
xdotool type --delay 30 "omega"
qxd_screenshot "$ARTIFACTS/replace.png"
qxd_key alt+a
qxd settle
qxd_key Escape
qxd "gone $replace 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "Escape left the replace dialog open"
dump
grep -q "omega beta omega" "$state" || qxd_fail "Replace All did not replace the text"

# A right click in the text opens its edit menu.
qxd view || qxd_fail "no notes view"
read -r _ _ nl nt nr nb <<<"${QXD_ANSWER[0]}"
menu=
for attempt in 1 2 3; do
    qxd_move $(((nl + nr) / 2)) $(((nt + nb) / 2))
    xdotool click 3
    for _ in $(seq 20); do
        qxd settle && qxd popups || qxd_fail "popups"
        [ ${#QXD_ANSWER[@]} -gt 0 ] && { menu=1; break 2; }
        sleep 0.1
    done
done
[ -n "$menu" ] || qxd_fail "a right click in the notes opened no menu"
qxd "itemrect 57636" || qxd_fail "the notes menu has no Find"
qxd_screenshot "$ARTIFACTS/notes-menu.png"
qxd_key Escape

# Window > Rename renames the notes window.
qxd "invoke 33120" || qxd_fail "Rename"
dialog=$(opened) || qxd_fail "Rename opened no dialog on a notes window: ${QXD_ANSWER[*]}"
qxd_key ctrl+a
xdotool type --delay 30 "Journal"
qxd_key Return
qxd "gone $dialog 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "the rename dialog stayed open"
qxd settle
dump
has "Journal"
qxd_screenshot "$ARTIFACTS/renamed.png"

qxd_exit_answering_no
