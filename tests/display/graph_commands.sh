#!/usr/bin/env bash
# Page commands of the graph window as a person runs them: a scatter of a falling curve;
# Graph > Add Function Graph... opens Plot Details on the new function, OK keeps it and its
# rising line is drawn in the window; Date & Time labels the graph; View > Full Screen shows
# the page alone on the screen until a key; File > Export Page writes a bitmap of the page.
#   graph_commands.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

dump() { # file
    qxd "dump $(qxd_winpath "$1")" || qxd_fail "dump"
}
menu_command() { # menu-bar text, command id
    qxd_open_menu_item "$1" "$2" || qxd_fail "no item $2 in $1"
    qxd_click_item
    qxd settle
}

qxd "script win -t wks; for (i = 1; i <= 10; i += 1) { col(A)[i] = i; col(B)[i] = 11 - i }" || qxd_fail "worksheet"
qxd children || qxd_fail "children"
read -r _ worksheet _ <<<"${QXD_ANSWER[0]}"
qxd "invoke 33248" && qxd settle || qxd_fail "scatter"
qxd children || qxd_fail "children"
graph=
for line in "${QXD_ANSWER[@]}"; do
    read -r _ hwnd _ active _ <<<"$line"
    [ "$active" = 1 ] && [ "$hwnd" != "$worksheet" ] && graph=$hwnd
done
[ -n "$graph" ] || qxd_fail "the scatter made no graph window"
qxd_hide_explorer
qxd "maximize $graph" && qxd settle || qxd_fail "maximize"
qxd "invoke 34119" && qxd settle || qxd_fail "window view"
qxd view || qxd_fail "view"
read -r _ _ vl vt vr vb <<<"${QXD_ANSWER[0]}"
qxd_screenshot "$ARTIFACTS/commands-scatter.png"
red=$(qxd_count_of "$ARTIFACTS/commands-scatter.png" "#FF0000" $(qxd_view_part 0 0 100 100))
[ "$red" = 0 ] || qxd_fail "red before the function is added: $red pixels"

# Graph > Add Function Graph...: Plot Details on F1; Return is its OK.
menu_command Graph 36120
qxd windows || qxd_fail "windows"
details=
for line in "${QXD_ANSWER[@]}"; do
    [[ $line == *"Plot Details"* ]] && read -r _ details _ <<<"$line"
done
[ -n "$details" ] || qxd_fail "Add Function Graph opened no Plot Details: ${QXD_ANSWER[*]}"
qxd_screenshot "$ARTIFACTS/commands-function-details.png"
qxd_key Return
qxd "gone $details 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "Return did not close Plot Details"
dump "$QXD_TMP/function.txt"
grep -q 'F1(x) = x ' "$QXD_TMP/function.txt" || qxd_fail "no function F1 in the graph"
qxd settle
qxd_screenshot "$ARTIFACTS/commands-function.png"
# The function y = x rises through the layer: red in its lower left and its middle.
low=$(qxd_count_of "$ARTIFACTS/commands-function.png" "#FF0000" $(qxd_view_part 10 55 45 95))
high=$(qxd_count_of "$ARTIFACTS/commands-function.png" "#FF0000" $(qxd_view_part 45 30 65 55))
qxd_log "function: $low red pixels lower left, $high in the middle"
[ "$low" -gt 20 ] && [ "$high" -gt 20 ] || qxd_fail "the function's line is not drawn"

# Date & Time (the Graph toolbar's button): a label with today's date.
qxd "invoke 33041" && qxd settle || qxd_fail "date and time"
dump "$QXD_TMP/dated.txt"
today=$(date +%-m/%-d/%Y)
grep -q "$today [0-9][0-9]:[0-9][0-9]" "$QXD_TMP/dated.txt" || qxd_fail "no label with $today"
qxd_screenshot "$ARTIFACTS/commands-date.png"

# View > Full Screen: the page alone on the screen; a key ends it.
menu_command View 33029
qxd windows || qxd_fail "windows"
full=
for line in "${QXD_ANSWER[@]}"; do
    read -r _ hwnd class _ <<<"$line"
    [ "$class" = QuorixFullScreenPage ] && full=$hwnd
done
[ -n "$full" ] || qxd_fail "Full Screen showed no window: ${QXD_ANSWER[*]}"
qxd_screenshot "$ARTIFACTS/commands-full-screen.png"
# The page's proportions are the screen's or close: the paper fills the screen, with black
# at two sides at most. Nothing of the main window (menu bar, toolbars) shows in the top rows.
top=$(convert "$ARTIFACTS/commands-full-screen.png" -crop x40+0+0 +repage -fill black -opaque white \
    -format '%[fx:maxima.intensity]' info:)
size=$(identify -format '%w %h' "$ARTIFACTS/commands-full-screen.png")
read -r sw sh <<<"$size"
middle=$(convert "$ARTIFACTS/commands-full-screen.png" -crop 40x40+$((sw / 2 - 20))+$((sh / 2 - 20)) +repage \
    -format '%[fx:maxima.intensity]' info:)
qxd_log "full screen: top rows beyond black and white $top, brightest in the middle $middle"
[ "$top" = 0 ] || qxd_fail "the main window shows at the top of the screen"
[ "$middle" = 1 ] || qxd_fail "no page in the middle of the screen"
qxd_key space
qxd "gone $full 3000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "a key did not end Full Screen"

# File > Export Page: a bitmap of the page, with the function's red in it.
qxd_file_dialog 34018 "$QXD_TMP/page.bmp"
[ -s "$QXD_TMP/page.bmp" ] || qxd_fail "Export Page wrote no bitmap"
qxd_log "exported: $(identify "$QXD_TMP/page.bmp")"
cp "$QXD_TMP/page.bmp" "$ARTIFACTS/commands-exported.bmp"
exported_red=$(convert "$QXD_TMP/page.bmp" txt:- 2>/dev/null | grep -c "#FF0000")
[ "$exported_red" -gt 20 ] || qxd_fail "the exported page holds no function line"

qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS: commands-scatter.png commands-function-details.png commands-function.png commands-date.png commands-full-screen.png commands-exported.bmp"
