#!/usr/bin/env bash
# Printing as a person does it, to a printer of a private print server: File > Print on a
# graph window opens the graph's print dialog, OK prints one page; File > Print Preview
# shows the printed page in the window's place and closes again (also on the worksheet);
# Page Setup opens the system's page set-up; File > Print on a worksheet opens the
# worksheet's print dialog with its range, OK prints it. The printer receives each job; its pages are counted. Pictures
# of the dialogs go to the artifacts folder.
#   print.sh BUILDDIR ARTIFACTS
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/display.sh"
. "$here/../print/cupsd.sh"
ARTIFACTS=${2:?artifacts folder}
mkdir -p "$ARTIFACTS"
qxcups_start
rc=$?
[ $rc -eq 0 ] || exit $rc
qxd_begin "$1"
trap 'qxcups_stop; qxd_cleanup' EXIT
qxd_start quorix61.exe -P "$(qxd_winpath "$QXD_INI")"
qxd settle && qxd_close_windows || qxd_fail "start"

# Waits until a window whose title holds TITLE shows; its handle in $window. Fails the
# test after ten seconds, naming WHAT opened it.
wait_window() { # TITLE WHAT
    qxd_wait_window "$1" || qxd_fail "$2 opened no \"$1\" window: ${QXD_ANSWER[*]}"
    window=$QXD_WINDOW
}

# The dialog a command opens: waits until it shows; its handle in $dialog.
open_dialog() { # COMMAND TITLE
    qxd "invoke $1" || qxd_fail "command $1"
    wait_window "$2" "command $1"
    dialog=$window
}

# Waits until no dialog is open and the printer has `1` jobs.
wait_for_jobs() { # COUNT
    local tries
    for tries in $(seq 300); do
        [ "$(qxcups_job_pages | wc -l)" -ge "$1" ] && return 0
        sleep 0.2
    done
    qxcups_log
    qxd_fail "the printer received $(qxcups_job_pages | wc -l) jobs, not $1"
}

# The print preview in the active page window's place: its Next Page button is found,
# the paper and the page's ink are in the picture; Escape or Close ends it and the
# button is gone. Pictures go to $ARTIFACTS/preview-NAME.png.
preview() { # NAME CLOSE-BY(key|click)
    local l t r b white ink
    qxd "invoke 57609" || qxd_fail "File > Print Preview"
    qxd main || qxd_fail "main"
    read -r _ mainwnd _ <<<"${QXD_ANSWER[0]}"
    qxd "control $mainwnd 58114" || qxd_fail "the $1 preview shows no Next Page button"
    qxd view || qxd_fail "view"
    read -r _ _ l t r b <<<"${QXD_ANSWER[0]}"
    sleep 0.5
    qxd_screenshot "$ARTIFACTS/preview-$1.png"
    white=$(qxd_count_of "$ARTIFACTS/preview-$1.png" "#FFFFFF" "$l" "$t" "$r" "$b")
    ink=$(qxd_count_of "$ARTIFACTS/preview-$1.png" "#000000" "$l" "$t" "$r" "$b")
    [ "$white" -gt 1000 ] && [ "$ink" -gt 20 ] || qxd_fail "the $1 preview shows no printed page ($white white, $ink black pixels)"
    if [ "$2" = key ]; then
        qxd_key Escape
    else
        qxd "control $mainwnd 58112" || qxd_fail "the $1 preview has no Close button"
        read -r _ l t r b <<<"${QXD_ANSWER[0]}"
        qxd_click $(((l + r) / 2)) $(((t + b) / 2))
    fi
    sleep 0.3
    qxd settle || qxd_fail "the program does not answer after closing the preview"
    ! qxd "control $mainwnd 58114" 2>/dev/null || qxd_fail "the $1 preview stays after it was closed"
}

qxd "script win -t wks; for (i = 1; i <= 10; i += 1) { col(A)[i] = i; col(B)[i] = i * i }" || qxd_fail "worksheet"
qxd children || qxd_fail "children"
read -r _ worksheet _ <<<"${QXD_ANSWER[0]}"
qxd "script worksheet -p Parabola line" || qxd_fail "plot"
qxd settle

# File > Print on the graph: the File menu first, as a person opens it.
qxd_open_menu_item File 57607 || qxd_fail "File > Print is not in the open menu"
qxd_screenshot "$ARTIFACTS/print-file-menu.png"
qxd_click_item
wait_window "Print" "File > Print"
dialog=$window
qxd "control $dialog 1139" || qxd_fail "the print dialog lists no printers"
sleep 0.5
qxd_screenshot "$ARTIFACTS/print-graph-dialog.png"
# Options... shows the page geometry in a sheet of its own, closed with Escape.
qxd "control $dialog 1418" || qxd_fail "the graph's print dialog has no Options button"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $(((l + r) / 2)) $(((t + b) / 2))
wait_window "More Print Options" "Options..."
sheet=$window
sleep 0.5
qxd_screenshot "$ARTIFACTS/print-graph-options.png"
qxd_key Escape
qxd "gone $sheet 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "the options sheet stays: ${QXD_ANSWER[*]}"
qxd_key Return
wait_for_jobs 1
[ "$(qxcups_job_pages | sed -n 1p)" = 1 ] || qxd_fail "the graph printed $(qxcups_job_pages | sed -n 1p) pages, not 1"

preview graph key

# File > Page Setup on the graph: the system's page set-up, cancelled.
open_dialog 57606 "Page"
sleep 0.5
qxd_screenshot "$ARTIFACTS/print-graph-page-setup.png"
qxd_key Escape
qxd settle

# The worksheet's print dialog shows its range; OK prints it on one page.
qxd "activate $worksheet" && qxd settle || qxd_fail "activate the worksheet"
open_dialog 57607 "Print"
qxd "control $dialog 1413" || qxd_fail "the worksheet's print dialog has no Selection box"
sleep 0.5
qxd_screenshot "$ARTIFACTS/print-worksheet-dialog.png"
qxd_key Return
wait_for_jobs 2
[ "$(qxcups_job_pages | sed -n 2p)" = 1 ] || qxd_fail "the worksheet printed $(qxcups_job_pages | sed -n 2p) pages, not 1"

preview worksheet click

# The worksheet's page set-up has its header and page-number switches.
open_dialog 57606 "Page"
qxd "control $dialog 1414" || qxd_fail "the worksheet's page set-up has no Header box"
sleep 0.5
qxd_screenshot "$ARTIFACTS/print-worksheet-page-setup.png"
qxd "control $dialog 2" || qxd_fail "the page set-up has no Cancel button"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $(((l + r) / 2)) $(((t + b) / 2))
qxd "gone $dialog 5000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "the page set-up stays: ${QXD_ANSWER[*]}"
# The dialog's own message loop has ended before the next command is posted.
qxd settle || qxd_fail "the program does not answer after the page set-up"

qxd "post 57665" || qxd_fail "Exit"
qxd_end_answering_no 60 || qxd_fail "the program did not end"
