#!/usr/bin/env bash
# A button group as its export delivers it into a new settings folder (group file, pictures,
# the group's script and the setup script), installed by running the setup script: the
# group's toolbar floats with its buttons, and a button runs its section.
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

qxd_exit_answering_no
# The group is remembered in the settings file for the next start.
ini=$(find "$QXD_INI" -maxdepth 1 -iname quorix61.ini | head -1)
[ -n "$ini" ] || qxd_fail "no settings file in $QXD_INI"
tr -d '\r' <"$ini" | grep -qx "Tools23=Tools23.ini" || qxd_fail "the group is not in the settings file"
qxd_log "pictures in $ARTIFACTS: installed-group.png"
