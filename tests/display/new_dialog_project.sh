#!/usr/bin/env bash
# A dialog project made with the dialog project wizard as a developer makes one: New
# Project runs the wizard library, a simple dialog is chosen with the keyboard, its
# caption, resource id and script name are typed, Finish and OK write the project, whose
# files are then read.
#   new_dialog_project.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
ARTIFACTS=${2:?artifacts folder}
mkdir -p "$ARTIFACTS"
qxd_begin "${1:?build folder}"

project=$QXD_TMP/CurveDlg
(cd "$QXD_BIN" && exec wine "$QXD_BIN/qxnewproject.exe" qxdlgwizard.dll CurveDlg "$(qxd_winpath "$project")") \
    </dev/null >"$QXD_TMP/program.log" 2>&1 7>&- &
QXD_PROGRAM_PID=$!

# Waits for a window of that title to be shown, then gives it the keyboard; its X id in
# $window.
wait_window() {
    window=
    for _ in $(seq 150); do
        window=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
        # No window manager runs: the window is given the keyboard directly.
        [ -n "$window" ] && { xdotool windowfocus "$window" 2>/dev/null; return 0; }
        sleep 0.2
    done
    return 1
}

wait_window "New Project" || qxd_fail "New Project showed no wizard: $(cat "$QXD_TMP/program.log")"
sleep 0.5
qxd_screenshot "$ARTIFACTS/kind.png"
# The kinds are radio buttons with the focus on the first: Down chooses a simple dialog.
qxd_key Down
qxd_key alt+n
sleep 0.5
# The dialog's information; the caption field has the focus.
qxd_key ctrl+a
xdotool type --delay 30 "Curve Options"
qxd_key Tab ctrl+a
xdotool type --delay 30 "IDD_CURVE"
qxd_key Tab ctrl+a
xdotool type --delay 30 "CurveOpts"
qxd_screenshot "$ARTIFACTS/information.png"
qxd_key alt+f
wait_window "New Project Information" || qxd_fail "Finish showed no confirmation"
qxd_screenshot "$ARTIFACTS/confirmation.png"
qxd_key Return

qxd_end_program 60 || qxd_fail "New Project did not end"
[ "$QXD_EXIT_CODE" = 0 ] || qxd_fail "New Project ended with $QXD_EXIT_CODE"
for file in CurveDlg.rc Resource.h CurveOpts.qgs; do
    [ -s "$project/$file" ] || qxd_fail "the project lacks $file"
done
grep -q 'CAPTION "Curve Options"' "$project/CurveDlg.rc" || qxd_fail "the resource script lacks the typed caption"
grep -q "IDD_CURVE" "$project/Resource.h" || qxd_fail "Resource.h lacks the typed resource id"
qxd_log "project written: $(ls "$project" | tr '\n' ' ')"
