#!/usr/bin/env bash
# Docking by mouse: the Standard toolbar dragged by its gripper off the top edge (it floats
# where it was let go), its floating frame moved by the caption, and the toolbar dragged
# back onto the row it came from; then the bottom row made higher by its edge, and a
# button dragged from the customise sheet onto the toolbar.
#   docking.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

standard=59400
top_dock=$((0xE81B))
float_dock=$((0xE81F))

# "floating dockbar row left top right bottom" of the Standard toolbar.
state() { qxd "dock $standard" && echo "${QXD_ANSWER[0]#dock }"; }
# Waits until the toolbar's floating flag is $1; the state is left in $now.
wait_floating() {
    for _ in $(seq 25); do
        now=$(state) && [ "${now%% *}" = "$1" ] && return 0
        sleep 0.2
    done
    return 1
}
# Presses at x1 y1, moves slowly to x2 y2 and lets go.
drag() {
    qxd_move "$1" "$2"
    xdotool mousedown 1
    qxd_glide "$1" "$2" "$3" "$4" 6
    sleep 0.2
    xdotool mouseup 1
    qxd settle
}

wait_floating 0 || qxd_fail "the Standard toolbar is not docked at start: $now"
read -r _ dock0 row0 l0 t0 r0 b0 <<<"$now"
[ "$dock0" = "$top_dock" ] || qxd_fail "the Standard toolbar starts on dock bar $dock0"
qxd main || qxd_fail "main"
read -r _ _ ml mt mr mb <<<"${QXD_ANSWER[0]}"

# Off the top edge by its gripper into the middle of the window: it floats there.
gx=$((l0 + 3)) gy=$(((t0 + b0) / 2))
fx=$(((ml + mr) / 2 - 100)) fy=$(((mt + mb) / 2))
drag "$gx" "$gy" "$fx" "$fy"
wait_floating 1 || qxd_fail "the toolbar did not float: $now"
read -r _ dock1 _ l1 t1 r1 b1 <<<"$now"
[ "$dock1" = "$float_dock" ] || qxd_fail "floating in dock bar $dock1"
[ $((r1 - l1)) = $((r0 - l0)) ] || qxd_fail "floating width $((r1 - l1)), docked $((r0 - l0))"
# The floating frame's corner is where the pointer held the bar, so the bar stands below
# and right of it by at most the frame's border and caption.
dx=$((l1 - (fx - 3))) dy=$((t1 - (fy - (b0 - t0) / 2)))
((dx >= 0 && dx <= 12 && dy >= 0 && dy <= 40)) || qxd_fail "the toolbar floats at $l1 $t1, let go at $fx $fy"
qxd_screenshot "$ARTIFACTS/floating.png"

# The floating frame moved by its caption (just above the bar): the bar goes with it.
drag $((l1 + 60)) $((t1 - 8)) $((l1 + 60)) $((t1 + 92))
qxd "dock $standard" || qxd_fail "the floating toolbar went"
read -r floating _ _ _ t1b _ _ <<<"${QXD_ANSWER[0]#dock }"
[ "$floating $t1b" = "1 $((t1 + 100))" ] || qxd_fail "moved by its caption: ${QXD_ANSWER[0]}, was at $t1"
t1=$((t1 + 100)) b1=$((b1 + 100))

# Back by its gripper onto the row it came from.
drag $((l1 + 3)) $(((t1 + b1) / 2)) "$gx" "$gy"
wait_floating 0 || qxd_fail "the toolbar did not dock again: $now"
read -r _ dock2 row2 l2 t2 r2 b2 <<<"$now"
[ "$dock2 $row2 $t2 $b2" = "$top_dock $row0 $t0 $b0" ] ||
    qxd_fail "docked again as $dock2 row $row2 at $t2-$b2, was $top_dock row $row0 at $t0-$b0"
qxd_screenshot "$ARTIFACTS/docked-again.png"

# The project explorer's row along the bottom edge made 60 pixels higher by its top edge.
explorer=597
wait_bar() { # id floating
    for _ in $(seq 25); do
        qxd "dock $1" 2>/dev/null && now=${QXD_ANSWER[0]#dock } && [ "${now%% *}" = "$2" ] && return 0
        sleep 0.2
    done
    return 1
}
wait_bar $explorer 0 || qxd_fail "no docked project explorer: $now"
read -r _ dock3 _ l3 t3 r3 b3 <<<"$now"
[ "$dock3" = $((0xE81E)) ] || qxd_fail "the explorer is on dock bar $dock3"
# A press the program did not see changes nothing, so it is tried again.
for _ in 1 2 3; do
    drag $(((l3 + r3) / 2)) $((t3 + 3)) $(((l3 + r3) / 2)) $((t3 - 57))
    qxd "dock $explorer" || qxd_fail "the explorer went"
    read -r _ _ _ _ t4 _ b4 <<<"${QXD_ANSWER[0]#dock }"
    [ "$t4" != "$t3" ] && break
done
[ "$t4 $b4" = "$((t3 - 60)) $b3" ] || qxd_fail "the explorer's row is at $t4-$b4 after the drag, was $t3-$b3"
qxd_screenshot "$ARTIFACTS/taller-row.png"

# A button dragged from the customise sheet's button groups onto the Standard toolbar.
qxd "dock $standard" || qxd_fail "no Standard toolbar"
read -r _ _ _ l5 t5 r5 b5 <<<"${QXD_ANSWER[0]#dock }"
qxd "invoke 59392" || qxd_fail "customise sheet"
sheet=
for line in "${QXD_ANSWER[@]}"; do
    [[ $line == window* ]] && read -r _ sheet _ <<<"$line"
done
[ -n "$sheet" ] || qxd_fail "no customise sheet: ${QXD_ANSWER[*]}"
qxd_key ctrl+Tab
group=
for _ in $(seq 25); do
    qxd "control $sheet 59568" 2>/dev/null && { group=${QXD_ANSWER[0]}; break; }
    sleep 0.2
done
[ -n "$group" ] || qxd_fail "the button groups page shows no group bar"
read -r _ gl gt gr gb <<<"$group"
qxd_screenshot "$ARTIFACTS/button-groups.png"
# Let go near the toolbar's right end: the sheet covers its left part.
drag $((gl + 14)) $(((gt + gb) / 2)) $((r5 - 20)) $(((t5 + b5) / 2))
qxd "dock $standard" || qxd_fail "the Standard toolbar went"
read -r _ _ _ l6 t6 r6 b6 <<<"${QXD_ANSWER[0]#dock }"
((r6 - l6 > r5 - l5)) || qxd_fail "the Standard toolbar did not take the button: $l6-$r6, was $l5-$r5"
qxd_screenshot "$ARTIFACTS/button-dropped.png"
qxd_key Escape
qxd "gone $sheet 5000" || qxd_fail "the customise sheet stayed"

qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS: floating.png docked-again.png taller-row.png button-groups.png button-dropped.png"
