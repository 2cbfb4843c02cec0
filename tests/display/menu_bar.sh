#!/usr/bin/env bash
# The menu bar by mouse and keys: a click opens a drop-down under its item and the pointer
# moving along the bar opens the next; a command chosen by mouse and one by keys (Alt,
# arrows, Enter) run; Alt with an access key; Left and Right in an open drop-down; the
# menu of the active page window's kind; a maximised worksheet's restore button on the
# bar; the bar floated by its gripper, used there, and docked again by closing its frame.
#   menu_bar.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

menubar=59647
top_dock=$((0xE81B))
explorer=597

# The bar's items: ITEM[i] "left top right bottom text".
read_bar() {
    qxd bar || qxd_fail "bar"
    ITEM=()
    local line
    for line in "${QXD_ANSWER[@]}"; do
        ITEM+=("$(cut -d' ' -f3- <<<"$line")")
    done
    [ ${#ITEM[@]} -gt 0 ] || qxd_fail "the menu bar shows no items"
}
item_named() { # text: its index
    local i
    for i in "${!ITEM[@]}"; do
        [ "${ITEM[$i]##* }" = "$1" ] && { echo "$i"; return 0; }
    done
    return 1
}
# Waits until N drop-downs are open; the first one's "left top" is in $popup.
wait_popups() {
    for _ in $(seq 25); do
        qxd popups || qxd_fail "popups"
        if [ ${#QXD_ANSWER[@]} -eq "$1" ]; then
            popup=$(cut -d' ' -f3,4 <<<"${QXD_ANSWER[0]:-}")
            return 0
        fi
        sleep 0.2
    done
    return 1
}
# The drop-down that is open stands under item $1.
expect_under() {
    wait_popups 1 || qxd_fail "no drop-down open (under item $1)"
    read -r il _ _ ib _ <<<"${ITEM[$1]}"
    read -r pl pt <<<"$popup"
    ((pl >= il - 3 && pl <= il + 3 && pt >= ib - 3 && pt <= ib + 3)) ||
        qxd_fail "the drop-down at $pl $pt is not under item $1 (${ITEM[$1]})"
}
explorer_shown() {
    qxd parts || qxd_fail "parts"
    printf '%s\n' "${QXD_ANSWER[@]}" | awk -v id=$explorer '$3 == id { found = 1 } END { exit !found }'
}
wait_explorer() { # 1 shown, 0 hidden
    for _ in $(seq 25); do
        if explorer_shown; then [ "$1" = 1 ] && return 0; else [ "$1" = 0 ] && return 0; fi
        sleep 0.2
    done
    return 1
}
center() { read -r l t r b _ <<<"$1"; echo "$(((l + r) / 2)) $(((t + b) / 2))"; }

qxd "script win -t wks; col(A)[1] = 1; col(B)[1] = 2" || qxd_fail "worksheet"
qxd settle
qxd "dock $menubar" || qxd_fail "no menu bar"
read -r floating dock row _ <<<"${QXD_ANSWER[0]#dock }"
[ "$floating $dock $row" = "0 $top_dock 0" ] || qxd_fail "the menu bar is not the first row at the top: ${QXD_ANSWER[0]}"
read_bar
[ "${ITEM[0]##* }" = File ] || qxd_fail "the first item is ${ITEM[0]}"
view=$(item_named View) || qxd_fail "no View item"
column=$(item_named Column) || qxd_fail "no Column item with a worksheet active"

# Mouse: File opens under its item; the pointer moving to View opens View.
qxd_click $(center "${ITEM[0]}")
expect_under 0
qxd_screenshot "$ARTIFACTS/file-menu.png"
read -r x0 y0 <<<"$(center "${ITEM[0]}")"
read -r xv _ <<<"$(center "${ITEM[$view]}")"
qxd_glide "$x0" "$y0" "$xv" "$y0" 3
expect_under "$view"
# View > Project Explorer by mouse hides the explorer.
wait_explorer 1 || qxd_fail "no project explorer at start"
qxd "itemrect 34115" || qxd_fail "no Project Explorer in the View menu"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $(((l + r) / 2)) $(((t + b) / 2))
wait_popups 0 || qxd_fail "the drop-down stayed after its command"
wait_explorer 0 || qxd_fail "View > Project Explorer by mouse did not hide the explorer"

# Keys: Alt, Right twice and Down open the third item; Left goes to the second. (The
# pointer on the status bar, out of the drop-downs' way but over the program, which the
# keys go to without a window manager.)
qxd main || qxd_fail "main"
read -r _ _ ml mt mr mb <<<"${QXD_ANSWER[0]}"
qxd_move $((mr - 40)) $((mb - 8))
qxd_key alt
sleep 0.3
qxd_key Right Right Down
expect_under 2
qxd_key Left
expect_under 1
qxd_key Escape Escape
wait_popups 0 || qxd_fail "Escape left a drop-down open"
# Alt+V opens View with its first item chosen; down past Status Bar and the separator to
# Project Explorer, Enter.
qxd_key alt+v
expect_under "$view"
qxd_screenshot "$ARTIFACTS/view-by-keys.png"
qxd_key Down Down Down Return
wait_popups 0 || qxd_fail "Enter left the drop-down open"
wait_explorer 1 || qxd_fail "View > Project Explorer by keys did not show the explorer"

# The graph's menu while a graph is active, the worksheet's again with the worksheet.
qxd children || qxd_fail "children"
read -r _ wks _ <<<"${QXD_ANSWER[0]}"
qxd "script win -t plot" || qxd_fail "graph"
qxd settle
for _ in $(seq 25); do
    read_bar
    item_named Graph >/dev/null && ! item_named Column >/dev/null && break
    sleep 0.2
done
item_named Graph >/dev/null && ! item_named Column >/dev/null || qxd_fail "no graph menu with the graph active: ${ITEM[*]}"
qxd "activate $wks" || qxd_fail "activate"
for _ in $(seq 25); do
    read_bar
    item_named Column >/dev/null && break
    sleep 0.2
done
item_named Column >/dev/null || qxd_fail "no worksheet menu with the worksheet active again: ${ITEM[*]}"

# Maximised, the worksheet's window menu and buttons stand on the bar; its restore button
# (second of the three at the bar's right end) restores it.
read -r left0 _ <<<"${ITEM[0]}"
qxd "maximize $wks" || qxd_fail "maximize"
for _ in $(seq 25); do
    read_bar
    read -r left1 _ <<<"${ITEM[0]}"
    [ "$left1" -gt "$left0" ] && break
    sleep 0.2
done
[ "$left1" -gt "$left0" ] || qxd_fail "no window menu button on the bar for the maximised worksheet"
qxd_screenshot "$ARTIFACTS/maximized.png"
qxd "dock $menubar" || qxd_fail "menu bar"
read -r _ _ _ bl bt br bb <<<"${QXD_ANSWER[0]#dock }"
read -r _ it _ ib _ <<<"${ITEM[0]}"
qxd_click $((br - 32)) $(((it + ib) / 2))
for _ in $(seq 25); do
    read_bar
    read -r left2 _ <<<"${ITEM[0]}"
    [ "$left2" = "$left0" ] && break
    sleep 0.2
done
[ "$left2" = "$left0" ] || qxd_fail "the restore button on the bar did not restore the worksheet"

# Floated by its gripper, the bar still opens its menus; closing its frame docks it again.
qxd main || qxd_fail "main"
read -r _ _ ml mt mr mb <<<"${QXD_ANSWER[0]}"
qxd_move $((bl + 3)) $(((bt + bb) / 2))
xdotool mousedown 1
qxd_glide $((bl + 3)) $(((bt + bb) / 2)) $(((ml + mr) / 2 - 150)) $(((mt + mb) / 2)) 6
sleep 0.2
xdotool mouseup 1
qxd settle
for _ in $(seq 25); do
    qxd "dock $menubar" && [[ ${QXD_ANSWER[0]} == "dock 1 "* ]] && break
    sleep 0.2
done
[[ ${QXD_ANSWER[0]} == "dock 1 "* ]] || qxd_fail "the menu bar did not float: ${QXD_ANSWER[0]}"
read_bar
qxd_click $(center "${ITEM[0]}")
expect_under 0
qxd_screenshot "$ARTIFACTS/floating-menu.png"
qxd_key Escape
wait_popups 0 || qxd_fail "Escape left the floating bar's drop-down open"
qxd windows || qxd_fail "windows"
frame=
for line in "${QXD_ANSWER[@]}"; do
    [[ $line == *" Menu Bar" ]] && read -r _ frame _ <<<"$line"
done
[ -n "$frame" ] || qxd_fail "no floating frame of the menu bar: ${QXD_ANSWER[*]}"
qxd "close $frame" || qxd_fail "close"
for _ in $(seq 25); do
    qxd "dock $menubar" && read -r floating dock row _ <<<"${QXD_ANSWER[0]#dock }" &&
        [ "$floating $dock $row" = "0 $top_dock 0" ] && break
    sleep 0.2
done
[ "$floating $dock $row" = "0 $top_dock 0" ] || qxd_fail "closing its frame did not dock the menu bar on top: ${QXD_ANSWER[0]}"
sleep 1   # the frame's bars paint again after the floating frame has gone
qxd_screenshot "$ARTIFACTS/docked-again.png"

qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS: file-menu.png view-by-keys.png maximized.png floating-menu.png docked-again.png"
