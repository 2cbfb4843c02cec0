#!/usr/bin/env bash
# Plots that map their data their own way, from the menus: a worksheet plotted as Polar
# from the Plot menu (a point found at its angle and radius), as a horizontal step line
# from Plot > Special Line/Symbol (a corner of the steps found), then Graph > Exchange X-Y
# Axis (the same point found with its X up the vertical, the item checked); the project
# saved, closed and opened again the same.
#   graph_mappings.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"
qxd_hide_explorer || qxd_fail "hide the project explorer"

# Angles 0, 90, 180, 270 with radii 4, 8, 6, 7: the polar radii run from 0 to 8; as a
# plain line X runs from 0 to 300 and Y from 4 to 8.
qxd "script win -t wks; col(A)[1] = 0; col(A)[2] = 90; col(A)[3] = 180; col(A)[4] = 270; "\
"col(B)[1] = 4; col(B)[2] = 8; col(B)[3] = 6; col(B)[4] = 7" || qxd_fail "worksheet"
qxd settle && qxd children || qxd_fail "children"
read -r _ worksheet _ <<<"${QXD_ANSWER[0]}"

menu_open() { # menu-bar text
    local line l t r b name
    qxd bar || qxd_fail "bar"
    for line in "${QXD_ANSWER[@]}"; do
        read -r _ _ l t r b name <<<"$line"
        [ "${name//&/}" = "$1" ] && break
    done
    [ "${name//&/}" = "$1" ] || qxd_fail "no menu $1"
    qxd_click $(((l + r) / 2)) $(((t + b) / 2))
    wait_popups 1 || { qxd_screenshot "$ARTIFACTS/no-menu.png"; qxd_fail "the $1 menu did not open"; }
}
wait_popups() { # count
    for _ in $(seq 25); do
        qxd popups || qxd_fail "popups"
        [ ${#QXD_ANSWER[@]} -ge "$1" ] && return 0
        sleep 0.2
    done
    return 1
}
click_item() { # id
    local l t r b
    qxd "itemrect $1" || qxd_fail "no item $1 in the open menus"
    read -r _ l t r b <<<"${QXD_ANSWER[0]}"
    qxd_click $(((l + r) / 2)) $(((t + b) / 2))
    qxd settle
}
# The graph window a plot command made, maximized and in window view (the page fills the
# view); FL FT FR FB: the layer's frame on the screen (15 % to 85 % across, 10 % to 80 %
# down).
take_graph() {
    local line hwnd active graph= vl vt vr vb
    qxd children || qxd_fail "children"
    for line in "${QXD_ANSWER[@]}"; do
        read -r _ hwnd _ active _ <<<"$line"
        [ "$hwnd" != "$worksheet" ] && [ "$active" = 1 ] && graph=$hwnd
    done
    [ -n "$graph" ] || qxd_fail "the plot made no graph window: ${QXD_ANSWER[*]}"
    qxd "maximize $graph" && qxd settle || qxd_fail "maximize the graph"
    qxd "invoke 34119" && qxd settle || qxd_fail "window view"
    qxd view || qxd_fail "view"
    read -r _ _ vl vt vr vb <<<"${QXD_ANSWER[0]}"
    FL=$((vl + (vr - vl) * 15 / 100)) FR=$((vl + (vr - vl) * 85 / 100))
    FT=$((vt + (vb - vt) * 10 / 100)) FB=$((vt + (vb - vt) * 80 / 100))
}
# Whether the picture is black within 2 pixels of a place (the first plot's colour).
black_at() { # picture x y
    [ "$(qxd_count_of "$1" "#000000" $(($2 - 2)) $(($3 - 2)) $(($2 + 3)) $(($3 + 3)))" -gt 0 ]
}
expect_black() { # picture x y what
    black_at "$1" "$2" "$3" || qxd_fail "$4: nothing drawn at $2,$3 (see $1)"
}
expect_clear() { # picture x y what
    black_at "$1" "$2" "$3" && qxd_fail "$4: something drawn at $2,$3 (see $1)"
    return 0
}

# Plot > Polar.
menu_open Plot
click_item 33260
take_graph
qxd_screenshot "$ARTIFACTS/polar.png"
cx=$(((FL + FR) / 2)) cy=$(((FT + FB) / 2)) radius=$((FB - FT < FR - FL ? (FB - FT) / 2 : (FR - FL) / 2))
# (180 degrees, 6): three quarters of the radius left of the centre; nothing where the
# chord from (90, 8) would pass if the points were joined as a plain line.
expect_black "$ARTIFACTS/polar.png" $((cx - radius * 3 / 4)) "$cy" "the polar point (180, 6)"
expect_black "$ARTIFACTS/polar.png" $((cx + radius * 707 / 1000)) $((cy - radius * 707 / 1000)) "the X axis circle at 45 degrees"
expect_clear "$ARTIFACTS/polar.png" $((cx - radius / 2)) $((cy - radius / 2)) "inside the polar plot"

# Plot > Special Line/Symbol > Horizontal Step: the submenu stands below Line + Symbol.
qxd "activate $worksheet" && qxd settle || qxd_fail "activate the worksheet"
menu_open Plot
qxd "itemrect 33250" || qxd_fail "no Line + Symbol in the Plot menu"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_move $(((l + r) / 2)) $((b + (b - t) / 2))
wait_popups 2 || qxd_fail "Special Line/Symbol did not open"
click_item 33314
take_graph
qxd_screenshot "$ARTIFACTS/step.png"
# From (180, 6) across to X = 270, then up to 7: the corner at (270, 6); from (90, 8)
# across to 180, so nothing halfway along the straight line to (180, 6).
fw=$((FR - FL)) fh=$((FB - FT))
expect_black "$ARTIFACTS/step.png" $((FL + fw * 9 / 10)) $((FB - fh / 2)) "the step's corner (270, 6)"
expect_clear "$ARTIFACTS/step.png" $((FL + fw * 45 / 100)) $((FB - fh * 3 / 4)) "a straight line's place (135, 7)"

# Graph > Exchange X-Y Axis: X (0 to 300) up the vertical, Y (4 to 8) along the horizontal.
menu_open Graph
click_item 36122
qxd_screenshot "$ARTIFACTS/exchanged.png"
expect_black "$ARTIFACTS/exchanged.png" $((FL + fw / 2)) $((FB - fh * 6 / 10)) "the exchanged point (180, 6)"
expect_black "$ARTIFACTS/exchanged.png" $((FL + fw * 3 / 4)) $((FB - fh * 6 / 10)) "the exchanged step's corner"
expect_clear "$ARTIFACTS/exchanged.png" $((FL + fw * 6 / 10)) $((FB - fh / 2)) "where the point stood before"
qxd menus || qxd_fail "menus"
printf '%s\n' "${QXD_ANSWER[@]}" | grep -q "^item 36122 enabled,checked" || qxd_fail "Exchange X-Y Axis is not checked"

# Saved, closed and opened again: the same project.
before=$QXD_TMP/before.txt after=$QXD_TMP/after.txt project=$QXD_TMP/mappings.qpj
qxd_file_dialog 34048 "$project"
[ -s "$project" ] || qxd_fail "the project file was not written"
qxd "dump $(qxd_winpath "$before")" || qxd_fail "dump"
grep -q "exchangeAxes = 1" "$before" && grep -q "polar = 1" "$before" || qxd_fail "the dump lacks the exchange or the polar layer"
qxd "invoke 34017" || qxd_fail "Close Project"
qxd settle
qxd_wait_for "exist(Graph1) == 0" 0 || qxd_fail "the project did not close"
qxd_file_dialog 33996 "$project"
qxd settle
qxd "dump $(qxd_winpath "$after")" || qxd_fail "dump"
diff "$before" "$after" >&2 || qxd_fail "the project opened again differs from the one saved"

qxd "post 57665" || qxd_fail "Exit"
qxd_end_answering_no 60 || qxd_fail "the program did not end"
