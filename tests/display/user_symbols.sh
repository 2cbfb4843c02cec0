#!/usr/bin/env bash
# User-defined symbols from the program: Tools > Options, Graph page, a click on the
# user-defined symbols well offers "Add...", whose file box takes a magenta bitmap; OK
# keeps it in the settings file. A scatter's symbol double-clicked opens Plot Details on
# the Symbol page: the gallery well dropped and pictured, then "Show Construction", "User
# Defined Symbols" and the symbol chosen from the list; after OK the window shows the
# points in magenta. Pictures of each step go to the artifacts folder.
#   user_symbols.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

click_control() { # dialog id
    local x y
    read -r x y < <(qxd_centre_of "$1" "$2") || qxd_fail "no control $2"
    qxd_click "$x" "$y"
    qxd settle
}
# Clicks the tabs in turn until the page holding the control shows.
show_page_with() { # dialog id
    local tab l t r b
    for tab in 0 1 2 3 4 5 6 7 8; do
        qxd "tab $1 $tab" 2>/dev/null || break
        read -r _ l t r b <<<"${QXD_ANSWER[0]}"
        qxd_click $(((l + r) / 2)) $(((t + b) / 2))
        qxd settle
        qxd "control $1 $2" 2>/dev/null && return 0
    done
    qxd_screenshot "$ARTIFACTS/no-page-$2.png"
    qxd_fail "no page with control $2"
}

# The symbol: a magenta square with a black frame.
picture="$QXD_INI/star.bmp"
convert -size 16x16 xc:'#FF00FF' -bordercolor black -border 2 BMP3:"$picture" || qxd_fail "no picture made"

# ---- Tools > Options, Graph page ----
qxd "script win -t wks; for (i = 1; i <= 10; i += 1) { col(A)[i] = i; col(B)[i] = i }" || qxd_fail "worksheet"
qxd_open_menu_item Tools 36080 || qxd_fail "no Options item in Tools"
qxd_click_item
qxd_wait_window "Options" || qxd_fail "Tools > Options opened no sheet"
sheet=$QXD_WINDOW
show_page_with "$sheet" 1125
qxd_screenshot "$ARTIFACTS/options-graph.png"
click_control "$sheet" 1125
qxd_screenshot "$ARTIFACTS/options-well-menu.png"
qxd_key Home Return # "Add..."
opened=
for try in $(seq 50); do
    qxd settle && qxd windows || qxd_fail "the program does not answer after Add..."
    [ ${#QXD_ANSWER[@]} -gt 1 ] && { opened=1; break; }
    sleep 0.1
done
[ -n "$opened" ] || qxd_fail "Add... showed no file box: ${QXD_ANSWER[*]}"
sleep 0.5
qxd_screenshot "$ARTIFACTS/options-add-file.png"
xdotool type --delay 20 "$(qxd_winpath "$picture")"
qxd_key Return
for try in $(seq 50); do
    qxd settle && qxd windows || qxd_fail "the program does not answer after the file box"
    [ ${#QXD_ANSWER[@]} -eq 1 ] && break
    sleep 0.1
done
[ ${#QXD_ANSWER[@]} -eq 1 ] || qxd_fail "more than the sheet is open after the file box: ${QXD_ANSWER[*]}"
qxd_screenshot "$ARTIFACTS/options-well-symbol.png"
read -r wx wy < <(qxd_centre_of "$sheet" 1125) || qxd_fail "no well"
qxd "control $sheet 1125"
read -r _ wl wt wr wb <<<"${QXD_ANSWER[0]}"
well_magenta=$(qxd_count_of "$ARTIFACTS/options-well-symbol.png" "#FF00FF" "$wl" "$wt" "$wr" "$wb")
qxd_log "magenta pixels in the well: $well_magenta"
[ "$well_magenta" -gt 50 ] || qxd_fail "the well does not show the symbol added"
click_control "$sheet" 1
# A question whether to keep the options as the startup options is answered No: the
# symbols are kept by the well whatever the answer.
for try in $(seq 30); do
    qxd settle && qxd windows || qxd_fail "the program does not answer after OK"
    [ ${#QXD_ANSWER[@]} -eq 0 ] && break
    for line in "${QXD_ANSWER[@]}"; do
        [[ $line == *" Options" ]] || { qxd_screenshot "$ARTIFACTS/options-question.png"; qxd_key n; break; }
    done
    sleep 0.2
done
[ ${#QXD_ANSWER[@]} -eq 0 ] || qxd_fail "the Options sheet did not close: ${QXD_ANSWER[*]}"

# ---- a scatter, its Symbol page ----
qxd_plot 33248 maximize || qxd_fail "the scatter made no graph window"
qxd_stable_view || qxd_fail "view"
# The black symbol nearest the view's middle, found in two pictures in a row.
read -r px py < <(qxd_steady_nearest "$QXD_TMP/scatter.png" "#000000" "$vl" "$vt" "$vr" "$vb")
[ -n "${px:-}" ] || qxd_fail "no black symbol in the scatter"
cp "$QXD_TMP/scatter.png" "$ARTIFACTS/scatter-before.png"
qxd_double_click_opens "Plot Details" "$px" "$py" || qxd_fail "a double click on the symbol opened no Plot Details"
dialog=$QXD_WINDOW
show_page_with "$dialog" 1134
qxd_screenshot "$ARTIFACTS/page-symbol.png"
# The gallery well drops below its button and goes with Escape.
click_control "$dialog" 1134
sleep 0.3
qxd_screenshot "$ARTIFACTS/page-symbol-gallery.png"
qxd_key Escape
qxd settle
click_control "$dialog" 1151 # Show Construction
click_control "$dialog" 1118 # User Defined Symbols
qxd_screenshot "$ARTIFACTS/page-symbol-user-defined.png"
read -r x y < <(qxd_centre_of "$dialog" 1466) || qxd_fail "no list of user-defined symbols"
qxd_click "$x" "$y"
qxd_key Home Return
qxd settle
qxd_screenshot "$ARTIFACTS/page-symbol-chosen.png"
click_control "$dialog" 1
qxd "gone $dialog 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "Plot Details did not close on OK"
qxd_click $((vl + 10)) $((vb - 10)) # off the page: the plot's selection handles go
qxd settle
sleep 0.5
qxd_screenshot "$ARTIFACTS/scatter-user-symbol.png"
magenta=$(qxd_count_of "$ARTIFACTS/scatter-user-symbol.png" "#FF00FF" "$vl" "$vt" "$vr" "$vb")
before=$(qxd_count_of "$ARTIFACTS/scatter-before.png" "#FF00FF" "$vl" "$vt" "$vr" "$vb")
qxd_log "magenta pixels in the scatter: $before before, $magenta after"
# Ten points (and the legend's sample), each a few pixels across in the window's view.
[ "$before" -eq 0 ] && [ "$magenta" -gt 80 ] || qxd_fail "the points are not drawn with the user-defined symbol"
qxd "dump $(qxd_winpath "$QXD_TMP/after.txt")" || qxd_fail "dump"

qxd_close_windows || qxd_fail "close"
qxd_exit_answering_no
# The list is kept in the settings file, for the next start.
ini=$(find "$QXD_INI" -maxdepth 1 -iname quorix61.ini | head -1)
[ -n "$ini" ] || qxd_fail "no settings file in $QXD_INI"
tr -d '\r' <"$ini" | awk '/^\[/ { s = $0 } s == "[UserDefinedSymbols]"' >"$QXD_TMP/uds"
grep -qx "Count=1" "$QXD_TMP/uds" || qxd_fail "the settings file does not keep the symbol: $(cat "$QXD_TMP/uds")"
grep -qi "^Symbol1=.*star.bmp$" "$QXD_TMP/uds" || qxd_fail "the settings file names another file: $(cat "$QXD_TMP/uds")"

qxd_log "pictures in $ARTIFACTS: options-graph.png options-well-menu.png options-add-file.png options-well-symbol.png scatter-before.png page-symbol.png page-symbol-gallery.png page-symbol-user-defined.png page-symbol-chosen.png scatter-user-symbol.png"
