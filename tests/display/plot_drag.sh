#!/usr/bin/env bash
# Plots dragged between layers with the mouse: a scatter of a falling (black) and a rising
# (red) curve, Extract to Layers puts each into a layer of its own, left and right. The
# black curve pressed in the left layer and dragged onto the right one moves there (the
# state dump's layers, and the black symbols leave the left layer's inside); a drag ended
# with Escape moves nothing; the red curve dragged from the right layer onto the left one
# is found red only in the left half.
#   plot_drag.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

# Of pixels ("x y" lines), the symbol nearest a point: the middle of the pixels within 8 pixels of
# the nearest one (a click hits a symbol near its middle).
nearest() { # x y
    awk -v x="$1" -v y="$2" '{ px[NR] = $1; py[NR] = $2; d = ($1 - x) ^ 2 + ($2 - y) ^ 2; if (NR == 1 || d < best) { best = d; i = NR } }
        END { if (!i) exit; for (k = 1; k <= NR; k++) if ((px[k] - px[i]) ^ 2 <= 64 && (py[k] - py[i]) ^ 2 <= 64) { sx += px[k]; sy += py[k]; n++ }
              printf "%d %d\n", sx / n + 0.5, sy / n + 0.5 }'
}
# "layer dataset" for each plot of the project's state dump.
plots_by_layer() { # name
    qxd "dump $(qxd_winpath "$QXD_TMP/$1.txt")" || qxd_fail "dump"
    awk '/^ *layer /{ l = $2 } /^ *plot [0-9]+ /{ p = 1 } p && /^ *dataset = /{ gsub(/"/, "", $3); print l, $3; p = 0 }' \
        "$QXD_TMP/$1.txt" | sort
}
# Presses at (x1, y1), glides to (x2, y2) with the button down, then KEYS (Escape), lets go.
drag() { # x1 y1 x2 y2 [keys]
    qxd_move "$1" "$2"
    xdotool mousedown 1
    qxd_glide "$1" "$2" "$3" "$4" 6
    sleep 0.5
    xdotool mousemove $(($3 + 2)) $(($4 + 2)) sleep 0.5
    [ -n "${5:-}" ] && { xdotool key "$5"; sleep 0.3; }
    xdotool mouseup 1
    qxd settle
}

qxd "script win -t wks; wks.ncols = 3; for (i = 1; i <= 10; i += 1) { col(A)[i] = i; col(B)[i] = 11 - i; col(C)[i] = i }" ||
    qxd_fail "worksheet"
qxd_plot 33248 maximize || qxd_fail "the scatter made no graph window"
# Window view: the page fills the view, so places on the page are fractions of the view.
qxd "invoke 34119" && qxd settle || qxd_fail "window view"
qxd "invoke 33042" && qxd settle || qxd_fail "extract to layers"
qxd_stable_view || qxd_fail "view"
expected=$'Layer1 Data1_B\nLayer2 Data1_C'
[ "$(plots_by_layer extracted)" = "$expected" ] || qxd_fail "extract to layers gave $(plots_by_layer extracted)"
qxd_screenshot "$ARTIFACTS/drag-before.png"

# Inside the layers' frames, away from their axes and legends: the left and right halves'
# middle parts.
left_black=$(qxd_count_of "$ARTIFACTS/drag-before.png" "#000000" $(qxd_view_part 12 30 42 80))
right_black=$(qxd_count_of "$ARTIFACTS/drag-before.png" "#000000" $(qxd_view_part 62 30 92 80))
qxd_log "before: $left_black black pixels inside the left layer, $right_black inside the right"
[ "$left_black" -gt 20 ] || qxd_fail "the black curve is not drawn in the left layer"

# The black symbol nearest the left layer's middle, pressed and dragged onto the middle of
# the right layer, with Escape before the button is let go: nothing moves.
lx=$((vl + (vr - vl) * 27 / 100)) ly=$((vt + (vb - vt) * 55 / 100))
rx=$((vl + (vr - vl) * 77 / 100)) ry=$ly
read -r px py < <(qxd_pixels_of "$ARTIFACTS/drag-before.png" "#000000" $(qxd_view_part 12 30 42 80) | nearest "$lx" "$ly")
[ -n "${px:-}" ] || qxd_fail "no black symbol in the left layer"
qxd_log "press at $px,$py, drop at $rx,$ry"
drag "$px" "$py" "$rx" "$ry" Escape
[ "$(plots_by_layer escaped)" = "$expected" ] || qxd_fail "a drag ended by Escape moved a plot: $(plots_by_layer escaped)"
qxd windows
[ "${#QXD_ANSWER[@]}" -eq 0 ] || qxd_fail "the drag showed a window: ${QXD_ANSWER[*]}"

# The same drag let go over the right layer: the black curve joins the red one there.
drag "$px" "$py" "$rx" "$ry"
qxd_screenshot "$ARTIFACTS/drag-black-right.png"
[ "$(plots_by_layer moved)" = $'Layer2 Data1_B\nLayer2 Data1_C' ] ||
    qxd_fail "the dragged curve is not in the right layer: $(plots_by_layer moved)"
left_after=$(qxd_count_of "$ARTIFACTS/drag-black-right.png" "#000000" $(qxd_view_part 12 30 42 80))
right_after=$(qxd_count_of "$ARTIFACTS/drag-black-right.png" "#000000" $(qxd_view_part 62 30 92 80))
qxd_log "after: $left_after black pixels inside the left layer, $right_after inside the right"
[ "$left_after" -lt 5 ] || qxd_fail "black is left inside the left layer"
[ "$right_after" -gt $((right_black + 20)) ] || qxd_fail "the black curve does not show in the right layer"
qxd_alive || qxd_fail "the program ended"

# The red curve dragged back from the right layer onto the left one: red only on the left.
red_before=$(qxd_count_of "$ARTIFACTS/drag-black-right.png" "#FF0000" $(qxd_view_part 55 0 100 100))
[ "$red_before" -gt 20 ] || qxd_fail "the red curve is not drawn in the right layer"
read -r px py < <(qxd_pixels_of "$ARTIFACTS/drag-black-right.png" "#FF0000" $(qxd_view_part 62 30 92 80) | nearest "$rx" "$ry")
[ -n "${px:-}" ] || qxd_fail "no red symbol in the right layer"
drag "$px" "$py" "$lx" "$ly"
qxd_screenshot "$ARTIFACTS/drag-red-left.png"
[ "$(plots_by_layer back)" = $'Layer1 Data1_C\nLayer2 Data1_B' ] ||
    qxd_fail "the red curve is not in the left layer: $(plots_by_layer back)"
left_red=$(qxd_count_of "$ARTIFACTS/drag-red-left.png" "#FF0000" $(qxd_view_part 0 0 50 100))
right_red=$(qxd_count_of "$ARTIFACTS/drag-red-left.png" "#FF0000" $(qxd_view_part 50 0 100 100))
qxd_log "red pixels: $left_red in the left half, $right_red in the right"
[ "$left_red" -gt 20 ] && [ "$right_red" = 0 ] || qxd_fail "the red curve is not drawn in the left layer only"

qxd_close_windows || qxd_fail "close"
qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS: drag-before.png drag-black-right.png drag-red-left.png"
