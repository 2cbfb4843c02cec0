#!/usr/bin/env bash
# A button group as its export delivers it into a new settings folder (group file, pictures,
# the group's script and the setup script), installed by running the setup script: the
# group's toolbar floats with its buttons, and a button runs its section. Then the group is
# exported from the customise sheet as a package, which a second start with another fresh
# settings folder installs by opening it.
#   button_group.sh BUILDDIR ARTIFACTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
ARTIFACTS=${2:?artifacts folder}
mkdir -p "$ARTIFACTS"
qxd_begin "$1"

res="$(dirname "${BASH_SOURCE[0]}")/../../ui/frames/res"
cp "$res/tb549.bmp" "$QXD_INI/Tools23.bmp"
{
    printf '[Common]\r\nGroupName=Tools23\r\nBitmapFile=Tools23.bmp\r\nButtonCount=3\r\n'
    for i in 1 2 3; do
        printf '[CustomButton%d]\r\nFileName=Tools23.qgs\r\nSectionName=Button%d\r\nToolTip=Tools23 button %d\r\nImage=%d\r\n' \
            "$i" "$i" "$i" $((i + 5))
    done
} >"$QXD_INI/Tools23.ini"
printf '[Button1]\r\ntools23ran = 1;\r\n[Button2]\r\ntools23ran = 2;\r\n[Button3]\r\ntools23ran = 3;\r\n[OnBeforeSetup]\r\nbefore23 = 1;\r\n[OnAfterSetup]\r\nafter23 = 1;\r\n' \
    >"$QXD_INI/Tools23.qgs"
# The setup script exactly as the export writes it.
printf '%s\r\n' 'if (run.section(Tools23.qgs, OnBeforeSetup) == 1) ' '{' '   qpack.undo(); ' '   return; ' '}' \
    'else ' '{ ' '   if (system.toolbar.createcategory("Tools23.ini") == 0)' '   {' $'\t system.toolbar.create(Tools23);' \
    $'\t %A=$General.UserDefinedGroupAdded;' $'\t %B=$General.UserDefinedGroup;' $'\t type.msgBox(Tools23 %A, %B);' \
    '   }' '}' >"$QXD_INI/QPKSetup.qgs"
printf ' run.section(Tools23.qgs, OnAfterSetup);' >>"$QXD_INI/QPKSetup.qgs"

qxd_start quorix61.exe -P "$(qxd_winpath "$QXD_INI")"
qxd settle && qxd_close_windows || qxd_fail "start"
qxd "script win -t wks; col(A)[1] = 1; col(B)[1] = 2; win -t plot" || qxd_fail "windows"
qxd settle
qxd_expect 'system.toolbar.exists(Tools23) != 0'

qxd "script run.section($(qxd_winpath "$QXD_INI/QPKSetup.qgs"), )" || qxd_fail "the setup script"
qxd settle
qxd_wait_for 'after23' 5 || qxd_fail "the setup script did not run to its end"
qxd_expect 'before23 == 1'
qxd_expect 'system.toolbar.exists(Tools23) == 0'
qxd_expect 'system.toolbar.isopen(Tools23) == 0'
qxd windows || qxd_fail "windows"
printf '%s\n' "${QXD_ANSWER[@]}" | grep -q " Tools23$" || qxd_fail "no floating Tools23 toolbar: ${QXD_ANSWER[*]}"
qxd_screenshot "$ARTIFACTS/installed-group.png"

# The group's second button (the ids of user buttons start at 47649) runs its section.
qxd "invoke 47650" || qxd_fail "the group's second button"
qxd_wait_for 'tools23ran == 2' 5 || qxd_fail "the button did not run its section"

# The group exported as a package from the customise sheet's button-group page.
qxd "invoke 59392" || qxd_fail "customise sheet"
sheet=
for line in "${QXD_ANSWER[@]}"; do
    [[ $line == window* ]] && read -r _ sheet _ <<<"$line"
done
[ -n "$sheet" ] || qxd_fail "no customise sheet: ${QXD_ANSWER[*]}"
# Ctrl+Tab reaches the sheet only once it is the active window; a key sent before then goes
# to the main window and the sheet stays on its Toolbars page.
for _ in $(seq 50); do
    qxd active && [ "${QXD_ANSWER[0]}" = "active $sheet" ] && break
    sleep 0.1
done
[ "${QXD_ANSWER[0]}" = "active $sheet" ] || qxd_fail "the customise sheet is not active: ${QXD_ANSWER[*]}"
qxd_key ctrl+Tab
# The Toolbars page's list has the same id as the groups list, so the page is told by its
# Export button, which only the button groups page has.
list=
for _ in $(seq 25); do
    qxd "control $sheet 43116" 2>/dev/null && qxd "control $sheet 43094" 2>/dev/null && {
        list=${QXD_ANSWER[0]}
        break
    }
    sleep 0.2
done
[ -n "$list" ] || qxd_fail "the button groups page shows no list of groups"
read -r _ l t r b <<<"$list"
# The user's groups come after the program's: the last one is Tools23.
qxd_click $(((l + r) / 2)) $((t + 8))
qxd_key End
qxd settle
qxd "control $sheet 43116" || qxd_fail "no Export button"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_screenshot "$ARTIFACTS/group-chosen.png"
qxd_click $(((l + r) / 2)) $(((t + b) / 2))
export_dlg=
for _ in $(seq 50); do
    qxd settle && qxd windows || qxd_fail "the program does not answer after Export"
    for line in "${QXD_ANSWER[@]}"; do
        [[ $line == *" Export Button Group" ]] && read -r _ export_dlg _ <<<"$line"
    done
    [ -n "$export_dlg" ] && break
    sleep 0.2
done
[ -n "$export_dlg" ] || qxd_fail "Export opened no export dialog: ${QXD_ANSWER[*]}"
qxd_screenshot "$ARTIFACTS/export-dialog.png"
qxd "control $export_dlg 1" || qxd_fail "no Export... button in the export dialog"
read -r _ l t r b <<<"${QXD_ANSWER[0]}"
qxd_click $(((l + r) / 2)) $(((t + b) / 2))
package=$QXD_TMP/Tools23.qpk
sleep 1
xdotool type --delay 20 "$(qxd_winpath "$package")"
qxd_key Return
qxd "gone $export_dlg 10000" && [ "${QXD_ANSWER[0]}" = ok ] || qxd_fail "the export dialog stayed"
[ -s "$package" ] || qxd_fail "no package written"
qxd_key Escape
qxd "gone $sheet 5000" || qxd_fail "the customise sheet stayed"

qxd_exit_answering_no
# The group is remembered in the settings file for the next start.
ini=$(find "$QXD_INI" -maxdepth 1 -iname quorix61.ini | head -1)
[ -n "$ini" ] || qxd_fail "no settings file in $QXD_INI"
tr -d '\r' <"$ini" | grep -qx "Tools23=Tools23.ini" || qxd_fail "the group is not in the settings file"
[ -e "$QXD_INI/ExpGroup.tmp" ] || [ -e "$QXD_INI/QPKSetup.qgs" ] && qxd_fail "the export left its list or setup script"

# A new user with a settings folder of their own opens the package with File > Open.
QXD_INI=$QXD_TMP/ini2
mkdir -p "$QXD_INI"
wine reg delete 'HKCU\Software\Veltranex' /f >/dev/null 2>&1 || true
qxd_start quorix61.exe -P "$(qxd_winpath "$QXD_INI")"
qxd settle && qxd_close_windows || qxd_fail "second start"
qxd "script win -t wks" || qxd_fail "worksheet"
qxd_expect 'system.toolbar.exists(Tools23) != 0'
# (Not qxd_file_dialog: the group's toolbar floating afterwards is a window that stays.)
qxd "invoke 33996" || qxd_fail "File > Open"
for _ in $(seq 50); do
    qxd settle && qxd windows || qxd_fail "the program does not answer after File > Open"
    [ ${#QXD_ANSWER[@]} -gt 0 ] && break
    sleep 0.2
done
[ ${#QXD_ANSWER[@]} -gt 0 ] || qxd_fail "File > Open showed no file box"
sleep 0.5
xdotool type --delay 20 "$(qxd_winpath "$package")"
qxd_key Return
qxd_wait_for 'after23' 5 || qxd_fail "opening the package did not run its setup"
qxd_expect 'system.toolbar.exists(Tools23) == 0'
for f in Tools23.ini Tools23.bmp Tools23.qgs; do
    cmp -s "$QXD_TMP/ini/$f" "$QXD_INI/$f" || qxd_fail "$f was not installed as it was exported"
done
[ -e "$QXD_INI/QPKSetup.qgs" ] && qxd_fail "the setup script stayed after the installation"
qxd windows || qxd_fail "windows"
printf '%s\n' "${QXD_ANSWER[@]}" | grep -q " Tools23$" || qxd_fail "no floating Tools23 toolbar after opening the package"
qxd_screenshot "$ARTIFACTS/package-installed.png"
qxd "invoke 47650" || qxd_fail "the installed group's second button"
qxd_wait_for 'tools23ran == 2' 5 || qxd_fail "the installed button did not run its section"
qxd_exit_answering_no
qxd_log "pictures in $ARTIFACTS: installed-group.png group-chosen.png export-dialog.png package-installed.png"
