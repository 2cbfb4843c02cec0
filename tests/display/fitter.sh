#!/usr/bin/env bash
# A first fit as a person makes it: a worksheet of a noisy Gaussian peak, filled by script,
# is plotted as a scatter; Analysis > Non-linear Curve Fit opens the fitter on the graph;
# Gauss is chosen in the window's function list with the mouse and the keyboard, and its
# equation and sample curve are shown; Start Fitting takes the graph's active dataset when
# the user says so; no value is typed: 10 iterations from values estimated from the data,
# Done; the graph window then shows the fit curve. Last, the quick fit Analysis > Fit
# Gaussian fits the same data again and leaves its curve. Pictures go to the artifacts folder.
#   fitter.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
qxd_start_program "$1" "${2:?artifacts folder}"

# The peak: baseline 0.5, centre 3, width 1, area 2.
qxd "script win -t wks; for (i = 1; i <= 61; i += 1) { x = (i - 1) / 10; col(A)[i] = x;" \
    "col(B)[i] = 0.5 + 2 / 1.2533141373155 * exp(-2 * (x - 3)^2) + 0.02 * sin(7 * i) }" || qxd_fail "worksheet"
qxd "invoke 33248" && qxd settle || qxd_fail "scatter plot"

# The graph window as large as its frame allows. (A double click on its caption races with
# the caption's own menu, which a click opens.)
qxd children || qxd_fail "children"
for line in "${QXD_ANSWER[@]}"; do
    read -r _ child _ active _ <<<"$line"
    [ "$active" = 1 ] && qxd "maximize $child"
done
qxd settle
qxd view || qxd_fail "view"
read -r _ _ vl vt vr vb <<<"${QXD_ANSWER[0]}"
qxd_screenshot "$ARTIFACTS/fit-data.png"

before=$(qxd_count_of "$ARTIFACTS/fit-data.png" "#FF0000" "$vl" "$vt" "$vr" "$vb")

qxd "invoke 36085" || qxd_fail "the fitter command"
fitter=
for round in $(seq 50); do
    qxd windows || qxd_fail "windows"
    for line in "${QXD_ANSWER[@]}"; do
        [[ $line == "window "*" QFIT41Parent "* ]] && read -r _ fitter _ <<<"$line"
    done
    [ -n "$fitter" ] && break
    sleep 0.2
done
[ -n "$fitter" ] || qxd_fail "the fitter window did not open: ${QXD_ANSWER[*]}"
qxd settle

# A condition on the program's state, read once.
check() { qxd_wait_for "$1" 0; }

click_control() { # window id: a click in the middle of the control, once it shows (5 s at most)
    local round
    for round in $(seq 25); do
        qxd "control $1 $2" >/dev/null 2>&1 && break
        sleep 0.2
    done
    qxd "control $1 $2" || return 1
    read -r _ l t r b <<<"${QXD_ANSWER[0]}"
    qxd_click $(((l + r) / 2)) $(((t + b) / 2))
}

# No dataset is assigned yet: the window shows its function list. Home goes to the first
# function, G to Gauss, the only one of its category beginning with that letter.
click_control "$fitter" 103 || qxd_fail "no function list: the window did not open at the selection page"
qxd_key Home g
qxd settle
qxd_screenshot "$ARTIFACTS/fitter-select.png"
# Chosen, with no values: they come from the data when the fit starts.
check "qfit.npara == 4 && qfit.p2 == --" || qxd_fail "Gauss was not chosen in the list"
# The function view shows the equation picture; the radio button beside it the sample curve.
qxd "control $fitter 113" || qxd_fail "no function view"
read -r _ fl ft fr fb <<<"${QXD_ANSWER[0]}"
qxd_screenshot "$ARTIFACTS/fitter-equation.png"
ink=$(qxd_count_of "$ARTIFACTS/fitter-equation.png" "#000000" "$fl" "$ft" "$fr" "$fb")
cyan=$(qxd_count_of "$ARTIFACTS/fitter-equation.png" "#00FFFF" "$fl" "$ft" "$fr" "$fb")
qxd_log "function view: $ink black pixels, $cyan cyan"
[ "$ink" -gt 200 ] && [ "$cyan" -eq 0 ] || qxd_fail "the function view shows no equation"
click_control "$fitter" 106 || qxd_fail "no sample curve button"
qxd settle
qxd_screenshot "$ARTIFACTS/fitter-sample-curve.png"
curve=$(qxd_count_of "$ARTIFACTS/fitter-sample-curve.png" "#C80000" "$fl" "$ft" "$fr" "$fb")
qxd_log "sample curve: $curve pixels of its colour"
[ "$curve" -gt 100 ] || qxd_fail "the function view shows no sample curve"

# Start Fitting (the basic page's button, or the toolbar's Fit button in full mode).
qxd "control $fitter 1901" >/dev/null 2>&1 && start=1901 || start=907
click_control "$fitter" $start || qxd_fail "no Start Fitting button"
qxd settle
# The graph's active dataset is offered: "Active Dataset".
# The fitter's message dialog, once its buttons show.
question=
for round in $(seq 50); do
    qxd windows || qxd_fail "windows"
    for line in "${QXD_ANSWER[@]}"; do
        [[ $line == "window "*" #32770 "* ]] && read -r _ question _ <<<"$line"
    done
    [ -n "$question" ] && qxd "control $question 2102" >/dev/null 2>&1 && break
    question=
    sleep 0.2
done
[ -n "$question" ] || qxd_fail "no question about the active dataset: ${QXD_ANSWER[*]}"
qxd_screenshot "$ARTIFACTS/fitter-active-dataset.png"
click_control "$question" 2102 || qxd_fail "no Active Dataset button"
qxd "gone $question 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "the question stayed"
qxd settle

# The session page: 10 iterations, then Done.
click_control "$fitter" 345 || qxd_fail "no iterations button: the session page did not open"
for round in $(seq 50); do
    check "qfit.niter >= 1" && break
    sleep 0.2
done
qxd settle
qxd_screenshot "$ARTIFACTS/fitter-session.png"
check "abs(qfit.p2 - 3) < 0.01" || qxd_fail "the fit did not find the peak's centre"
click_control "$fitter" 343 || qxd_fail "no Done button"
qxd settle

qxd_close_windows || qxd_fail "close the fitter"
qxd settle
# The results log has opened above the graph: where its view is now.
qxd view || qxd_fail "view"
read -r _ _ vl vt vr vb <<<"${QXD_ANSWER[0]}"
qxd_screenshot "$ARTIFACTS/fit-curve.png"
after=$(qxd_count_of "$ARTIFACTS/fit-curve.png" "#FF0000" "$vl" "$vt" "$vr" "$vb")
qxd_log "red pixels in the graph window: $before before the fit, $after after"
[ "$after" -gt $((before + 50)) ] || qxd_fail "no fit curve drawn in the graph window"
# The curve has the peak's shape: flat on its left quarter, near the bottom of its extent,
# and highest in its middle (the legend's short line lies right of the curve, above it).
qxd_pixels_of "$ARTIFACTS/fit-curve.png" "#FF0000" "$vl" "$vt" "$vr" "$vb" >"$QXD_TMP/red"
shape=$(sort -n -k2 "$QXD_TMP/red" | awk '
    { x[NR] = $1; y[NR] = $2 } END {
        top = y[1]; bottom = y[NR];
        # the legend line: the topmost red row; the curve: the rows well below it
        for (i = 1; i <= NR; i++) if (y[i] > top + 5) { cx[++n] = x[i]; cy[n] = y[i] }
        l = 1e9; r = -1; t = 1e9; b = -1
        for (i = 1; i <= n; i++) { if (cx[i] < l) l = cx[i]; if (cx[i] > r) r = cx[i]; if (cy[i] < t) t = cy[i]; if (cy[i] > b) b = cy[i] }
        flat = 1; apex = -1
        for (i = 1; i <= n; i++) {
            if (cx[i] < l + (r - l) / 4 && cy[i] < b - (b - t) / 5) flat = 0
            if (cy[i] == t) apex = cx[i]
        }
        middle = apex > l + (r - l) * 0.35 && apex < l + (r - l) * 0.65
        print (n > 50 && flat && middle) ? "peak" : "other", n, l, t, r, b, apex
    }')
qxd_log "fit curve: $shape"
[[ $shape == peak* ]] || qxd_fail "the red curve in the graph window is not the fitted peak: $shape"
check "exist(Data1_C) != 0" || qxd_fail "the fit curve is not kept as a column"

# The quick fit: Analysis > Fit Gaussian on the graph, no window, no value typed; its curve
# joins the graph as the next column.
qxd "invoke 34170" || qxd_fail "the quick fit"
qxd settle
qxd_screenshot "$ARTIFACTS/quick-fit.png"
qxd "script layer -c" || qxd_fail "layer contents"
check "count == 3 && exist(Data1_D) == 1 && abs(qfit.p2 - 3) < 0.01 && abs(Data1_D[31] - Data1_C[31]) < 0.01" ||
    qxd_fail "the quick fit left no curve of the peak"

qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS: fit-data.png fitter-select.png fitter-equation.png fitter-sample-curve.png" \
    "fitter-active-dataset.png fitter-session.png fit-curve.png quick-fit.png"
