#!/usr/bin/env bash
# The project explorer: a folder made from its menu command and named by typing, a graph
# dragged from the window list onto the folder, the folder chosen in the tree (its window
# shown, the others hidden), the project saved and opened again with the folder and the
# graph in it.
#   project_explorer.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

qxd "script win -t wks; col(A)[1] = 1; col(B)[1] = 2; win -t plot" || qxd_fail "windows"
qxd settle

# The explorer shows itself with the first page window: its bar, tree and list.
explorer_bar() {
    qxd parts || return 1
    local line
    for line in "${QXD_ANSWER[@]}"; do
        read -r _ hwnd id _ <<<"$line"
        [ "$id" = 597 ] && { echo "$hwnd"; return 0; }
    done
    return 1
}
bar=
for _ in $(seq 25); do
    bar=$(explorer_bar) && break
    sleep 0.2
done
[ -n "$bar" ] || qxd_fail "no project explorer bar: ${QXD_ANSWER[*]}"
qxd "control $bar 1104" || qxd_fail "no folder tree"
qxd "control $bar 1105" || qxd_fail "no window list"
qxd_screenshot "$ARTIFACTS/explorer.png"

# The tree's New Folder command (as its menu sends it): a folder whose name is typed.
label_edit() { # whether the tree's label edit is open
    qxd parts || return 1
    local line
    for line in "${QXD_ANSWER[@]}"; do
        read -r _ _ _ parent _ _ _ _ class <<<"$line"
        [ "$parent" = 1104 ] && [[ $class == [Ee]dit ]] && return 0
    done
    return 1
}
qxd "post 40992" || qxd_fail "New Folder"
for _ in $(seq 25); do
    qxd settle && label_edit && break
    sleep 0.2
done
label_edit || qxd_fail "New Folder opened no label edit"
xdotool type --delay 30 "Fits"
qxd_key Return
named=
for _ in $(seq 25); do
    qxd settle && qxd "treeitem $bar 1104 Fits" 2>/dev/null && { named=1; break; }
    sleep 0.2
done
[ -n "$named" ] || qxd_fail "the new folder was not named Fits"
qxd "treeitem $bar 1104 Fits" || qxd_fail "the folder Fits"
read -r _ fl ft fr fb <<<"${QXD_ANSWER[0]}"
qxd_screenshot "$ARTIFACTS/explorer-folder.png"

# Graph1 dragged from the list onto the folder. The list holds the folder, then Data1,
# then Graph1.
# A drag the list did not see (the press came before it was ready) moves nothing, so it
# is made again.
graph_folder() { # the folder line of Graph1 in the state dump, in $QXD_TMP/folder
    qxd "dump $(qxd_winpath "$QXD_TMP/state.txt")" || qxd_fail "dump"
    tr -d '\r' <"$QXD_TMP/state.txt" | awk '/page Graph1/ { g = 1 } g && /folder =/ { print; exit }' >"$QXD_TMP/folder"
    grep -q '"/Fits/"' "$QXD_TMP/folder"
}
moved=
for round in 1 2 3; do
    qxd "listitem $bar 1105 2" || qxd_fail "the list has no third row"
    read -r _ gl gt gr gb <<<"${QXD_ANSWER[0]}"
    gx=$((gl + 20)) gy=$(((gt + gb) / 2))
    qxd_move "$gx" "$gy"
    sleep 0.2
    xdotool mousedown 1
    sleep 0.2
    # Out of the press's drag rectangle first, in two slow steps, as a hand starts a drag:
    # the list begins the drag on a move it sees beyond that rectangle.
    xdotool mousemove $((gx + 3)) $((gy + 3)) sleep 0.2 mousemove $((gx + 12)) $((gy + 6)) sleep 0.3
    qxd_glide $((gx + 12)) $((gy + 6)) $(((fl + fr) / 2)) $(((ft + fb) / 2)) 4
    sleep 0.3
    xdotool mouseup 1
    qxd settle
    qxd_wait_for 'exist(Graph1) != 0' 0 || qxd_fail "the graph went"
    graph_folder && { moved=1; break; }
done
[ -n "$moved" ] || qxd_fail "the graph was not moved to /Fits/: $(cat "$QXD_TMP/folder")"
qxd_screenshot "$ARTIFACTS/explorer-moved.png"

# Windows of the current folder only: Graph1 left the root, so its window is hidden; the
# folder chosen in the tree shows it and hides Data1's.
visible() { # title
    qxd children || return 1
    local line
    for line in "${QXD_ANSWER[@]}"; do
        read -r _ _ shown _ title <<<"$line"
        [[ $title == *"$1"* ]] && { [ "$shown" = 1 ]; return; }
    done
    return 1
}
hidden() { # title: the page window is there and not shown
    qxd children || return 1
    local line
    for line in "${QXD_ANSWER[@]}"; do
        read -r _ _ shown _ title <<<"$line"
        [[ $title == *"$1"* ]] && { [ "$shown" = 0 ]; return; }
    done
    return 1
}
hidden Graph1 || qxd_fail "the moved graph's window still shows in the root folder"
visible Data1 || qxd_fail "the worksheet's window does not show"
qxd_click $(((fl + fr) / 2)) $(((ft + fb) / 2))
qxd settle
# The tree takes the click when the program reads it from the display, maybe after settle.
qxd_until 10 visible Graph1 || qxd_fail "choosing the folder did not show its graph"
qxd_until 10 hidden Data1 || qxd_fail "choosing the folder did not hide the root's worksheet"
qxd_screenshot "$ARTIFACTS/explorer-folder-chosen.png"

# Saved and opened again: the folder and the graph in it come back.
project="$QXD_TMP/folders.qpj"
qxd "script save $(qxd_winpath "$project")" || qxd_fail "save"
qxd "script doc -n" && qxd settle || qxd_fail "new project"
gone=
for _ in $(seq 25); do
    qxd "treeitem $bar 1104 Fits" 2>/dev/null || { gone=1; break; }
    sleep 0.2
done
[ -n "$gone" ] || qxd_fail "the folder stayed in a new project"
qxd "script open $(qxd_winpath "$project")" && qxd settle || qxd_fail "open"
found=
for _ in $(seq 25); do
    qxd "treeitem $bar 1104 Fits" 2>/dev/null && { found=1; break; }
    sleep 0.2
done
[ -n "$found" ] || qxd_fail "the folder did not come back with the project"
graph_folder || qxd_fail "the graph is not in /Fits/ after opening: $(cat "$QXD_TMP/folder")"
qxd_screenshot "$ARTIFACTS/explorer-reopened.png"

qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS: explorer.png explorer-folder.png explorer-moved.png explorer-folder-chosen.png explorer-reopened.png"
