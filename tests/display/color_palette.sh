#!/usr/bin/env bash
# The colour palette from a worksheet's Format menu: a new colour added with the dialog's toolbar,
# OK, and Yes to keeping the colours, which writes them to the settings file.
#   color_palette.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

# The Format menu is the page windows': a worksheet first.
qxd "script win -t wks" || qxd_fail "worksheet"
qxd settle
qxd_screenshot "$ARTIFACTS/toolbars.png"
# The pointer resting on the Standard toolbar's first button shows its tip.
qxd parts || qxd_fail "parts"
standard=
for line in "${QXD_ANSWER[@]}"; do
    read -r _ _ id _ l t r b _ <<<"$line"
    [ "$id" = 59400 ] && standard="$((l + 12)) $(((t + b) / 2))"
done
[ -n "$standard" ] || qxd_fail "no Standard toolbar: ${QXD_ANSWER[*]}"
read -r x y <<<"$standard"
qxd_move $((x - 3)) "$y"
qxd_move "$x" "$y"
tip=
for try in 1 2 3 4 5 6 7 8 9 10; do
    sleep 0.5
    qxd tips || continue
    for line in "${QXD_ANSWER[@]}"; do
        [[ $line == tip*" New Project" ]] && tip=1
    done
    [ -n "$tip" ] && break
done
[ -n "$tip" ] || qxd_fail "no tip over the New Project button: ${QXD_ANSWER[*]}"
qxd_screenshot "$ARTIFACTS/toolbar-tip.png"
qxd_open_menu_item Format 36081 || qxd_fail "no Color Palette item in Format"
qxd_click_item
qxd settle || qxd_fail "settle"

qxd_wait_window "Color Palette" || qxd_fail "Format > Color Palette opened no dialog: ${QXD_ANSWER[*]}"
dialog=$QXD_WINDOW
qxd_screenshot "$ARTIFACTS/palette.png"

# The toolbar's first button adds a colour.
qxd "control $dialog 12578" || qxd_fail "no toolbar in the dialog"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $((l + 11)) $(((t + b) / 2))
qxd settle
qxd_screenshot "$ARTIFACTS/palette-new-colour.png"

qxd "control $dialog 1" || qxd_fail "no OK button"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $(((l + r) / 2)) $(((t + b) / 2))
qxd settle
qxd_wait_window "Warning" || qxd_fail "OK asked nothing: ${QXD_ANSWER[*]}"
question=$QXD_WINDOW
qxd_screenshot "$ARTIFACTS/palette-question.png"
qxd "control $question 6" || qxd_fail "no Yes button"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $(((l + r) / 2)) $(((t + b) / 2))
qxd "gone $question 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "the question did not close on Yes"
qxd "gone $dialog 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "the dialog did not close"

qxd settle || qxd_fail "settle after the dialog"
# Exit; the question about the unsaved worksheet is answered No.
qxd "post 57665" || qxd_fail "Exit"
qxd_end_answering_no 60 || qxd_fail "the program did not end"
[ "$QXD_EXIT_CODE" = 0 ] || qxd_fail "exit code $QXD_EXIT_CODE"
# The settings file, once the program has ended.
ini=$(find "$QXD_INI" -maxdepth 1 -iname quorix61.ini | head -1)
[ -n "$ini" ] || qxd_fail "no settings file in $QXD_INI: $(find "$QXD_INI" -iname "*.ini")"
tr -d '\r' <"$ini" | awk '/^\[/ { s = $0 } s == "[Color Palette]"' >"$QXD_TMP/palette"
grep -qx "Count=25" "$QXD_TMP/palette" || qxd_fail "the settings file does not keep 25 colours: $(cat "$QXD_TMP/palette")"
grep -qx "Color25=0 0 0 Color 25" "$QXD_TMP/palette" || qxd_fail "the new colour is not in the settings file"

qxd_log "pictures in $ARTIFACTS: toolbars.png palette.png palette-new-colour.png palette-question.png"
